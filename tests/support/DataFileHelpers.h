#pragma once
// Byte images for the data-file tests: files are read and written raw, and
// expected records are put together field by field at their offsets, without
// the codec under test.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "KS_Registry.h"

inline std::string ReadBytes(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

inline void WriteBytes(const std::string& path, std::string_view bytes)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test file " + path);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

inline bool PathExists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }
inline void MakeDirectory(const std::string& path) { QDir().mkpath(QString::fromStdString(path)); }

// A record image: starts as `fill` bytes, fields are put at their offsets.
class Image {
public:
    explicit Image(std::size_t length, char fill = '\0') : bytes_(length, fill) {}
    Image& Put(std::size_t offset, std::string_view text) { return bytes_.replace(offset, text.size(), text), *this; }
    Image& Fill(std::size_t offset, std::size_t width, char c) { return Put(offset, std::string(width, c)); }
    Image& PutByte(std::size_t offset, int value) { return bytes_[offset] = static_cast<char>(value), *this; }
    Image& PutInt16(std::size_t offset, int value) { return PutByte(offset, value).PutByte(offset + 1, value >> 8); }
    // Bytes written as two hex digits each, in file order.
    Image& PutHex(std::size_t offset, std::string_view hex)
    {
        for (std::size_t i = 0; i < hex.size() / 2; ++i)
            PutByte(offset + i, std::stoi(std::string(hex.substr(i * 2, 2)), nullptr, 16));
        return *this;
    }
    const std::string& str() const { return bytes_; }
    operator const std::string&() const { return bytes_; }
    operator std::string_view() const { return bytes_; }

private:
    std::string bytes_;
};

inline std::string Repeat(const std::string& record, std::size_t times)
{
    std::string all;
    for (std::size_t i = 0; i < times; ++i)
        all += record;
    return all;
}

inline std::string Record(const std::string& file, std::size_t length, std::size_t n)
{
    return file.substr((n - 1) * length, length);
}

#include "KS_String.h"

#include <QFile>

#include <cctype>
#include <cmath>
#include <optional>

std::string StripChar(std::string_view text, std::string_view character)
{
    std::string result(text);
    if (character.empty())
        return result;
    for (auto pos = result.find(character); pos != std::string::npos; pos = result.find(character))
        result.erase(pos, 1);
    return result;
}

std::string StripDelimiter(std::string_view text, std::string_view nullText, std::string_view delimiter)
{
    std::string result = Trim(text);
    if (!delimiter.empty()) {
        std::size_t from = 0;
        for (auto pos = result.find(delimiter, from); pos != std::string::npos; pos = result.find(delimiter, from)) {
            result.erase(pos, 1);
            // The search goes on one position after the removed character, so of
            // two adjacent delimiters only the first goes.
            from = pos + 1;
            if (from > result.size())
                break;
        }
    }
    return result.empty() ? std::string(nullText) : result;
}

namespace {
// One rule for record text and for the text a box takes: a line break is CR
// or LF, and the one that follows it at once belongs to it, whichever it is.
template <class Text, class View, class Char>
Text replaceLineBreaks(View text, const View& replacement)
{
    const auto isBreak = [](Char c) { return c == Char('\r') || c == Char('\n'); };
    Text result;
    for (decltype(text.size()) i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        if (isBreak(c)) {
            result += replacement;
            if (i + 1 < text.size() && isBreak(text[i + 1]))
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}
} // namespace

std::string ReplaceLineBreaks(std::string_view text, std::string_view replacement)
{
    return replaceLineBreaks<std::string, std::string_view, char>(text, replacement);
}

QString ReplaceLineBreaks(QStringView text, QStringView replacement)
{
    return replaceLineBreaks<QString, QStringView, QChar>(text, replacement);
}

std::string BlankControlChars(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (IsControlChar(static_cast<unsigned char>(c)))
            c = ' ';
    return out;
}

std::string ReplaceChar(std::string_view text, std::string_view character, std::string_view replacement)
{
    if (character.empty())
        return std::string(text);
    std::string result;
    for (char c : text) {
        if (c == character.front())
            result += replacement;
        else
            result.push_back(c);
    }
    return result;
}

std::string Trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

double Val(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    bool fraction = false;
    double scale = 0.1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (fraction) {
                value += (c - '0') * scale;
                scale /= 10;
            } else {
                value = value * 10 + (c - '0');
            }
        } else if (c == '.' && !fraction) {
            fraction = true;
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

std::string ZeroPad(long long value, int width)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    while (static_cast<int>(digits.size()) < width - (value < 0 ? 1 : 0))
        digits.insert(digits.begin(), '0');
    return value < 0 ? "-" + digits : digits;
}

std::string PadRight(std::string_view text, std::size_t width)
{
    std::string result(text.substr(0, std::min(width, text.size())));
    result.resize(width, ' ');
    return result;
}

namespace {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five holes map to themselves.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QString ToQString(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b)));
    }
    return text;
}

namespace {
// The byte of the character in Windows-1252, or none.
std::optional<char> codePageByte(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == u)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}
} // namespace

std::string FromQString(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text)
        bytes.push_back(codePageByte(ch).value_or('?'));
    return bytes;
}

bool InCodePage(QChar character) { return codePageByte(character).has_value(); }

QString PathToQString(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQString(const QString& text) { return QFile::encodeName(text).toStdString(); }

std::string PathInText(std::string_view path) { return FromQString(PathToQString(path)); }

#include "RecordFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "KS_Globals.h"
#include "KS_String.h"

namespace {

FileError errorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return FileError::PathOrAccess;
    default:
        return FileError::Other;
    }
}

// Closes on every path out; a failed close of a written file is a failed write.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    int close()
    {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

FileError openForReading(const std::string& path, Fd& fd, std::int64_t& size)
{
    fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return errorFromErrno(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return errorFromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return FileError::PathOrAccess;
    size = st.st_size;
    return FileError::None;
}

FileError readAt(int fd, std::string& out, std::size_t count, std::int64_t offset)
{
    out.assign(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, out.data() + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            out.resize(done); // what did arrive is still good
            return FileError::Other; // a failing disk or share, or the file shrank under us
        }
        done += static_cast<std::size_t>(n);
    }
    return FileError::None;
}

FileError writeAt(int fd, std::string_view bytes, std::int64_t offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errorFromErrno(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    return FileError::None;
}

bool pathPresent(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

std::string FileErrorMessage(FileError error)
{
    switch (error) {
    case FileError::None: return {};
    case FileError::PathOrAccess:
        return "Please confirm that the folder " + PathInText(gDataFolder) + " " +
               "exists and that you have the appropriate access permissions.";
    case FileError::Other: break;
    }
    return "Error reading user record.";
}

std::string FileAccessMessage(std::string_view path)
{
    return "Please confirm that the file " + PathInText(path) + " exists and that you have the appropriate access permissions.";
}

std::string FileUpdateErrorMessage(FileError error, std::string_view path)
{
    return error == FileError::PathOrAccess ? FileAccessMessage(path) : std::string("Error updating record.");
}

std::string CompanionPath(std::string_view path, std::string_view extension)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    std::string result(path);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        result.resize(dot);
    result += '.';
    result += extension;
    return result;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t FileLength(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}

FileError MoveToBackup(const std::string& path, const std::string& backupPath)
{
    if (!pathPresent(path))
        return FileError::None;
    if (pathPresent(backupPath) && ::unlink(backupPath.c_str()) != 0)
        return errorFromErrno(errno);
    if (::rename(path.c_str(), backupPath.c_str()) != 0)
        return errorFromErrno(errno);
    return FileError::None;
}

FileError WriteTmpFile(const std::string& tmpPath, std::string_view bytes)
{
    Fd fd(::open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.valid())
        return errorFromErrno(errno);
    FileError error = writeAt(fd.get(), bytes, 0);
    if (error == FileError::None && ::fsync(fd.get()) != 0)
        error = FileError::Other;
    if (fd.close() != 0 && error == FileError::None)
        error = FileError::Other;
    if (error != FileError::None)
        ::unlink(tmpPath.c_str());
    return error;
}

FileError ReplaceFileContents(const std::string& path, std::string_view bytes, const std::string& tmpPath,
                              const std::string& backupPath)
{
    if (const FileError error = WriteTmpFile(tmpPath, bytes); error != FileError::None)
        return error;

    bool backedUp = false;
    if (FileLength(path) > 0) {
        const FileError error = MoveToBackup(path, backupPath);
        if (error != FileError::None) {
            ::unlink(tmpPath.c_str());
            return error;
        }
        backedUp = true;
    }
    if (::rename(tmpPath.c_str(), path.c_str()) != 0) {
        const FileError error = errorFromErrno(errno);
        if (backedUp)
            ::rename(backupPath.c_str(), path.c_str());
        ::unlink(tmpPath.c_str());
        return error;
    }
    return FileError::None;
}

RecordFile::RecordFile(std::string path, std::size_t recordLength) : path_(std::move(path)), length_(recordLength)
{
    if (length_ == 0)
        throw std::invalid_argument("record length 0");
}

std::string RecordFile::companion(std::string_view extension) const
{
    std::string path = CompanionPath(path_, extension);
    if (companionFolder_.empty())
        return path;
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string folder = companionFolder_;
    if (folder.back() != '/')
        folder.push_back('/');
    return folder + name;
}

std::string RecordFile::TmpPath() const { return companion("TMP"); }
std::string RecordFile::BakPath() const { return companion("BAK"); }

std::int64_t RecordFile::Count() const
{
    const std::int64_t length = FileLength(path_);
    return length < 0 ? 0 : length / static_cast<std::int64_t>(length_);
}

bool RecordFile::HasTrailingBytes() const
{
    const std::int64_t length = FileLength(path_);
    return length > 0 && length % static_cast<std::int64_t>(length_) != 0;
}

FileError RecordFile::ReadRecord(std::int64_t n, std::string& record) const
{
    Fd fd(-1);
    std::int64_t size = 0;
    if (const FileError error = openForReading(path_, fd, size); error != FileError::None)
        return error;
    const auto len = static_cast<std::int64_t>(length_);
    if (n < 1 || n > size / len)
        return FileError::Other;
    return readAt(fd.get(), record, length_, (n - 1) * len);
}

FileError RecordFile::ReadAll(std::vector<std::string>& records, bool keepReadBeforeFailure) const
{
    records.clear();
    Fd fd(-1);
    std::int64_t size = 0;
    if (const FileError error = openForReading(path_, fd, size); error != FileError::None)
        return error;
    const auto len = static_cast<std::int64_t>(length_);
    std::string all;
    const FileError error = readAt(fd.get(), all, static_cast<std::size_t>(size / len * len), 0);
    if (error != FileError::None && !keepReadBeforeFailure)
        return error;
    const auto count = static_cast<std::int64_t>(all.size()) / len;
    records.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        records.push_back(all.substr(static_cast<std::size_t>(i * len), length_));
    return error;
}

FileError RecordFile::ReadRecords(std::int64_t n, std::int64_t count, std::string& bytes) const
{
    bytes.clear();
    Fd fd(-1);
    std::int64_t size = 0;
    if (const FileError error = openForReading(path_, fd, size); error != FileError::None)
        return error;
    const auto len = static_cast<std::int64_t>(length_);
    if (n < 1 || count < 0)
        return FileError::Other;
    const std::int64_t available = std::max<std::int64_t>(0, size / len - (n - 1));
    return readAt(fd.get(), bytes, static_cast<std::size_t>(std::min(count, available) * len), (n - 1) * len);
}

FileError RecordFile::WriteRecord(std::int64_t n, std::string_view record) const
{
    if (record.size() != length_)
        throw std::invalid_argument("record number or length out of range");
    return WriteRecords(n, record);
}

FileError RecordFile::WriteRecords(std::int64_t n, std::string_view records) const
{
    if (n < 1 || records.size() % length_ != 0)
        throw std::invalid_argument("record number or length out of range");
    Fd fd(::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (!fd.valid())
        return errorFromErrno(errno);
    FileError error = writeAt(fd.get(), records, (n - 1) * static_cast<std::int64_t>(length_));
    if (fd.close() != 0 && error == FileError::None)
        error = FileError::Other;
    return error;
}

FileError RecordFile::ReplaceAll(const std::vector<std::string>& records) const
{
    std::string bytes;
    bytes.reserve(records.size() * length_);
    for (const auto& record : records) {
        if (record.size() != length_)
            throw std::invalid_argument("record of the wrong length");
        bytes += record;
    }
    return ReplaceFileContents(path_, bytes, TmpPath(), BakPath());
}

#pragma once
// A data file of fixed-length records. Record n lies at (n - 1) x length; the
// count is the whole part of the file length / record length. Every operation
// opens the file, does its one job and closes it again, so nothing is held
// open between a window's reads and writes.
//
// A file replaced as a whole is first written in full to its .TMP companion;
// only then does the old file become the .BAK and the .TMP take its name. A
// failure at any step leaves the old file where it was.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class FileError {
    None,
    PathOrAccess, // the folder or file cannot be reached: missing path, no permission, not a file
    Other,        // anything else: a read or write that failed part-way
};

// The operator's message for a failure: the folder message for PathOrAccess,
// "Error reading user record." for Other, "" for None.
std::string FileErrorMessage(FileError error);
// The same for one named file, which the operator is asked to check.
std::string FileAccessMessage(std::string_view path);
// A file that could not be written: its access message, else "Error updating record.".
std::string FileUpdateErrorMessage(FileError error, std::string_view path);

// The path with its file extension replaced ("Pager.DBS" -> "Pager.BAK").
std::string CompanionPath(std::string_view path, std::string_view extension);

bool FileExists(const std::string& path);   // a regular file
bool FolderExists(const std::string& path);
std::int64_t FileLength(const std::string& path); // -1 when there is no such file

// Deletes the .BAK and renames the file to it. None also when there was no file.
FileError MoveToBackup(const std::string& path, const std::string& backupPath);

// Writes the bytes whole to tmpPath and syncs them; on any failure no tmpPath is left.
FileError WriteTmpFile(const std::string& tmpPath, std::string_view bytes);

// Writes the bytes to tmpPath, then rotates: old file -> backupPath, tmpPath -> path.
// An empty old file is simply replaced; it is not worth the existing .BAK.
FileError ReplaceFileContents(const std::string& path, std::string_view bytes, const std::string& tmpPath,
                              const std::string& backupPath);

class RecordFile {
public:
    RecordFile(std::string path, std::size_t recordLength);

    const std::string& Path() const { return path_; }
    std::size_t RecordLength() const { return length_; }
    std::string TmpPath() const;
    std::string BakPath() const;
    // Some files keep their companions in another folder (the calendar's live in the data folder).
    void SetCompanionFolder(std::string folder) { companionFolder_ = std::move(folder); }

    bool Exists() const { return FileExists(path_); }
    // Whole records in the file; 0 when it is missing.
    std::int64_t Count() const;
    // True when the file ends in a partial record.
    bool HasTrailingBytes() const;

    // Record n (from 1). Reading past the last whole record is an Other error.
    FileError ReadRecord(std::int64_t n, std::string& record) const;
    // Every whole record; a trailing partial record is not read. A read that
    // fails part-way leaves no records, or, when asked, the whole ones read before.
    FileError ReadAll(std::vector<std::string>& records, bool keepReadBeforeFailure = false) const;
    // Records n to n + count - 1 as one run of bytes; fewer when the file ends first.
    FileError ReadRecords(std::int64_t n, std::int64_t count, std::string& bytes) const;
    // Writes record n in place, creating the file when needed; the other bytes stay.
    FileError WriteRecord(std::int64_t n, std::string_view record) const;
    // Writes whole records from record n on, in place, in one write.
    FileError WriteRecords(std::int64_t n, std::string_view records) const;
    // Replaces the whole file with these records (through .TMP and .BAK).
    FileError ReplaceAll(const std::vector<std::string>& records) const;

private:
    std::string companion(std::string_view extension) const;

    std::string path_;
    std::size_t length_;
    std::string companionFolder_;
};

#pragma once
// Reads that break off part-way, as on a failing disk or share. A test
// program that uses this takes over pread for every file it reads.

#include <sys/types.h>

// While it lives, every read at or past byte `from` of any file fails with EIO.
class FailingReads {
public:
    explicit FailingReads(off_t from);
    ~FailingReads();
    FailingReads(const FailingReads&) = delete;
    FailingReads& operator=(const FailingReads&) = delete;
};

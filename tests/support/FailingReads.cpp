#include "FailingReads.h"

#include <algorithm>
#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// -1: reads work.
off_t failReadsFrom = -1;

} // namespace

extern "C" ssize_t pread(int fd, void* buf, size_t count, off_t offset)
{
    using Real = ssize_t (*)(int, void*, size_t, off_t);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "pread"));
    if (failReadsFrom >= 0) {
        if (offset >= failReadsFrom) {
            errno = EIO;
            return -1;
        }
        count = std::min(count, static_cast<size_t>(failReadsFrom - offset));
    }
    return real(fd, buf, count, offset);
}

FailingReads::FailingReads(off_t from) { failReadsFrom = from; }
FailingReads::~FailingReads() { failReadsFrom = -1; }

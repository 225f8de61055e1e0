#include "render/RegularFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// An open descriptor of a regular file, or -1. Non-blocking, so a FIFO without a writer
// cannot stall the open; the type is checked on the descriptor, after the path's, so that
// a file swapped in between is still caught.
int openRegular(const std::string& path, off_t& size)
{
    struct stat status { };
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return -1;
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return -1;
    }
    size = status.st_size;
    return fd;
}

template <typename Buffer> bool readInto(const std::string& path, size_t maxBytes, Buffer& out)
{
    out.clear();
    off_t size = 0;
    int fd = openRegular(path, size);
    if (fd < 0)
        return false;
    if (static_cast<unsigned long long>(size) > maxBytes) {
        close(fd);
        return false;
    }
    // The size may change while reading (or lie, as in /proc): read to the end, cap and all.
    out.resize(static_cast<size_t>(size) + 1);
    size_t used = 0;
    bool ok = true;
    for (;;) {
        if (used == out.size()) {
            if (used > maxBytes) {
                ok = false;
                break;
            }
            out.resize(std::min(maxBytes + 1, used * 2 + 4096));
        }
        ssize_t got = ::read(fd, &out[used], out.size() - used);
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ok = false;
            break;
        }
        used += static_cast<size_t>(got);
    }
    close(fd);
    ok = ok && used <= maxBytes;
    out.resize(ok ? used : 0);
    return ok;
}
}

bool RegularFile::read(const std::string& path, size_t maxBytes, std::vector<unsigned char>& bytes)
{
    return readInto(path, maxBytes, bytes);
}

bool RegularFile::read(const std::string& path, size_t maxBytes, std::string& text)
{
    return readInto(path, maxBytes, text);
}

bool RegularFile::readable(const std::string& path)
{
    off_t size = 0;
    int fd = openRegular(path, size);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

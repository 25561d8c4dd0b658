// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/fileio.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace ondelog::fileio {

namespace {

struct HookState
{
    Hook hook;
    long count = 0;
};

HookState &state()
{
    static HookState s;
    return s;
}

/** 0 to go on, negative to skip a sync; positive: errno is set and the caller fails. */
int intercept(Operation operation)
{
    HookState &s = state();
    if (!s.hook)
        return 0;
    const int answer = s.hook(operation, ++s.count);
    if (answer > 0) {
        errno = answer;
        return answer;
    }
    return operation == Operation::Sync ? answer : 0;
}

} // namespace

void setHook(Hook hook)
{
    state().hook = std::move(hook);
    state().count = 0;
}

int openFile(const char *path, int flags, mode_t mode)
{
    if ((flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0 && intercept(Operation::Open) != 0)
        return -1;
    for (;;) {
        const int fd = ::open(path, flags, mode);
        if (fd >= 0 || errno != EINTR)
            return fd;
    }
}

int folderWriteError(const char *folder)
{
    if (const int error = intercept(Operation::Open); error != 0)
        return error;
    return ::faccessat(AT_FDCWD, folder, W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

int writeAll(int fd, const void *data, std::size_t size)
{
    if (intercept(Operation::Write) != 0)
        return -1;
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t w = ::write(fd, bytes, size);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            if (w == 0)
                errno = EIO;
            return -1;
        }
        bytes += w;
        size -= static_cast<std::size_t>(w);
    }
    return 0;
}

int pwriteAll(int fd, const void *data, std::size_t size, off_t offset)
{
    if (intercept(Operation::Write) != 0)
        return -1;
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t w = ::pwrite(fd, bytes, size, offset);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            if (w == 0)
                errno = EIO;
            return -1;
        }
        bytes += w;
        offset += w;
        size -= static_cast<std::size_t>(w);
    }
    return 0;
}

int truncate(int fd, off_t length)
{
    if (intercept(Operation::Truncate) != 0)
        return -1;
    return ::ftruncate(fd, length);
}

int fsync(int fd)
{
    if (const int answer = intercept(Operation::Sync); answer != 0)
        return answer < 0 ? 0 : -1;
    return ::fsync(fd);
}

int fdatasync(int fd)
{
    if (const int answer = intercept(Operation::Sync); answer != 0)
        return answer < 0 ? 0 : -1;
    return ::fdatasync(fd);
}

int rename(const char *from, const char *to)
{
    if (intercept(Operation::Rename) != 0)
        return -1;
    return std::rename(from, to);
}

int unlink(const char *path)
{
    if (intercept(Operation::Remove) != 0)
        return -1;
    return ::unlink(path);
}

} // namespace ondelog::fileio

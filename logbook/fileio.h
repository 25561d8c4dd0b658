// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every system call by which the core changes a file on disk goes through here,
// so that a test can make the n-th of them fail, or stop the program just
// before it, and check what a crash at that point would leave behind.
//
// Without a hook installed these are the plain POSIX calls, EINTR retried.

#include <cstddef>
#include <functional>
#include <sys/types.h>

namespace ondelog::fileio {

enum class Operation
{
    Write,    ///< bytes written to a file (write, pwrite)
    Truncate, ///< a file's length changed (ftruncate)
    Sync,     ///< fsync or fdatasync of a file or a folder
    Rename,   ///< a file renamed over another
    Remove,   ///< a file removed
    Open,     ///< a file opened for writing, or a folder checked for writing
};

/** Called before each operation with its kind and its number (1 for the first
 *  operation since the hook was installed). Returns 0 to let it run, or an errno
 *  value to make it fail with that error instead; a negative value skips a Sync
 *  and reports it done (for tests that need not wait for the disk), and lets any
 *  other operation run. A hook that wants to simulate a crash ends the process
 *  itself (_exit, SIGKILL). */
using Hook = std::function<int(Operation, long ordinal)>;

/** Installs `hook` (an empty function removes it) and restarts the numbering. */
void setHook(Hook hook);

/** ::open() for a file that may be written (O_WRONLY, O_RDWR or O_CREAT in
 *  `flags`): a hook can refuse it as a read-only medium (EROFS) would. */
int openFile(const char *path, int flags, mode_t mode = 0);
/** 0 when the effective user may create files in `folder`, else an errno value. */
int folderWriteError(const char *folder);

/** Full write of `size` bytes at the current position; -1 with errno set on
 *  failure (after which part of the bytes may have been written). */
int writeAll(int fd, const void *data, std::size_t size);
/** Full write of `size` bytes at `offset`; -1 with errno set on failure. */
int pwriteAll(int fd, const void *data, std::size_t size, off_t offset);
int truncate(int fd, off_t length);
int fsync(int fd);
int fdatasync(int fd);
int rename(const char *from, const char *to);
int unlink(const char *path);

} // namespace ondelog::fileio

// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/safefile.h"

#include "logbook/fileio.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace ondelog {

LogStatus statusFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return LogStatus::NotFound;
    case EACCES:
    case EPERM:
    case EAGAIN: // a mandatory lock held by another program
    case ETXTBSY:
        return LogStatus::AccessDenied;
    case EROFS:
        return LogStatus::ReadOnly;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return LogStatus::DiskFull;
    default:
        return LogStatus::IoError;
    }
}

namespace {

/** ".NAME." for the target NAME: a leading dot keeps the temporary files out of
 *  the way of file dialogs. */
std::string temporaryPrefix(const std::filesystem::path &target)
{
    // Built by appending: "." + name + "." trips a false -Wrestrict of g++ 12 at -O3.
    std::string prefix = ".";
    prefix += target.filename().string();
    prefix += '.';
    return prefix;
}

// Renaming over a symbolic link would replace the link with a plain file and
// leave the file it points to as it was: rewrites go to that file instead.
std::filesystem::path resolvedTarget(const std::filesystem::path &target)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        std::filesystem::path resolved = std::filesystem::canonical(target, ec);
        if (!ec)
            return resolved;
    }
    return target;
}

// ".NAME.XXXXXX" with mkostemp's six letters or digits, and `prefix` (".NAME.")
// when given: nothing a user would have named a file of their own.
bool isTemporaryName(const std::string &name, const std::string &prefix)
{
    constexpr std::size_t kSuffix = 6;
    if (name.size() < 3 + kSuffix || name.front() != '.' || name[name.size() - kSuffix - 1] != '.')
        return false;
    if (!prefix.empty() &&
        (name.size() != prefix.size() + kSuffix || name.compare(0, prefix.size(), prefix) != 0))
        return false;
    return std::all_of(name.end() - static_cast<long>(kSuffix), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

int removeTemporaryFiles(const std::filesystem::path &folder, const std::string &prefix)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
    if (ec)
        return 0;
    int removed = 0;
    for (const auto &entry : it) {
        if (isTemporaryName(entry.path().filename().string(), prefix) &&
            entry.is_regular_file(ec) && !entry.is_symlink(ec) &&
            fileio::unlink(entry.path().c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace

LogStatus syncFolder(const std::filesystem::path &folder)
{
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return statusFromErrno(errno);
    const int result = fileio::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; the rename is then as durable as
    // they allow, which is no reason to report the rewrite as failed.
    if (result != 0 && error != EINVAL && error != EROFS)
        return statusFromErrno(error);
    return LogStatus::Ok;
}

SafeFileWriter::SafeFileWriter(std::filesystem::path target) : m_target(resolvedTarget(target)) {}

int SafeFileWriter::removeLeftovers(const std::filesystem::path &target)
{
    const std::filesystem::path resolved = resolvedTarget(target);
    return removeTemporaryFiles(resolved.parent_path(), temporaryPrefix(resolved));
}

int SafeFileWriter::removeLeftoversIn(const std::filesystem::path &folder)
{
    return removeTemporaryFiles(folder, {});
}

SafeFileWriter::~SafeFileWriter()
{
    discard();
}

void SafeFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_committed && !m_temporary.empty()) {
        fileio::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

LogStatus SafeFileWriter::open()
{
    discard();
    m_committed = false;
    mode_t mode = 0644;
    struct stat st
    {
    };
    if (::stat(m_target.c_str(), &st) == 0) {
        // Renamed over a pipe or a device, the new file would take the place
        // of something that was never a file (as root, of /dev/null itself).
        if (!S_ISREG(st.st_mode))
            return LogStatus::NotRegularFile;
        mode = st.st_mode & 07777;
    }
    // mkostemp's XXXXXX makes two rewrites in one folder never collide.
    std::string pattern =
        (m_target.parent_path() / (temporaryPrefix(m_target) + "XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return statusFromErrno(errno);
    m_fd = fd;
    m_temporary = pattern;
    if (::fchmod(fd, mode) != 0) {
        const int error = errno;
        discard();
        return statusFromErrno(error);
    }
    return LogStatus::Ok;
}

LogStatus SafeFileWriter::write(const char *data, std::size_t size)
{
    if (m_fd < 0)
        return LogStatus::NotOpen;
    if (size > 0 && fileio::writeAll(m_fd, data, size) != 0)
        return statusFromErrno(errno);
    return LogStatus::Ok;
}

LogStatus SafeFileWriter::writeAt(std::uint64_t offset, const char *data, std::size_t size)
{
    if (m_fd < 0)
        return LogStatus::NotOpen;
    if (size > 0 && fileio::pwriteAll(m_fd, data, size, static_cast<off_t>(offset)) != 0)
        return statusFromErrno(errno);
    return LogStatus::Ok;
}

LogStatus SafeFileWriter::commit()
{
    if (m_fd < 0)
        return LogStatus::NotOpen;
    if (fileio::fsync(m_fd) != 0) {
        const int error = errno;
        discard();
        return statusFromErrno(error);
    }
    if (::close(m_fd) != 0) {
        m_fd = -1;
        const int error = errno;
        discard();
        return statusFromErrno(error);
    }
    m_fd = -1;
    if (fileio::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        discard();
        return statusFromErrno(error);
    }
    m_committed = true;
    return syncFolder(m_target.parent_path());
}

} // namespace ondelog

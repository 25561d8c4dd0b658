#include "logbook/safefile.h"

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

LogStatus syncFolder(const std::filesystem::path &folder)
{
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return statusFromErrno(errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; the rename is then as durable as
    // they allow, which is no reason to report the rewrite as failed.
    if (result != 0 && error != EINVAL && error != EROFS)
        return statusFromErrno(error);
    return LogStatus::Ok;
}

} // namespace

SafeFileWriter::SafeFileWriter(std::filesystem::path target) : m_target(std::move(target)) {}

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
        ::unlink(m_temporary.c_str());
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
    if (::stat(m_target.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    // A leading dot keeps the temporary file out of the way of file dialogs; the
    // pattern's XXXXXX makes two rewrites in one folder never collide.
    std::string pattern =
        (m_target.parent_path() / ("." + m_target.filename().string() + ".XXXXXX")).string();
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
    while (size > 0) {
        const ssize_t w = ::write(m_fd, data, size);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return w < 0 ? statusFromErrno(errno) : LogStatus::IoError;
        data += w;
        size -= static_cast<std::size_t>(w);
    }
    return LogStatus::Ok;
}

LogStatus SafeFileWriter::commit()
{
    if (m_fd < 0)
        return LogStatus::NotOpen;
    if (::fsync(m_fd) != 0) {
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
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        discard();
        return statusFromErrno(error);
    }
    m_committed = true;
    return syncFolder(m_target.parent_path());
}

} // namespace ondelog

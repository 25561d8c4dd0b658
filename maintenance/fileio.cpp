#include "maintenance/fileio.h"

#include "logbook/regularfile.h"
#include "logbook/safefile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondelog {

LogStatus readAt(int fd, std::int64_t offset, char *data, std::size_t size, std::size_t &got)
{
    got = 0;
    while (got < size) {
        const ssize_t r = ::pread(fd, data + got, size - got,
                                  static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return statusFromErrno(errno);
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    return LogStatus::Ok;
}

ReadOnlyFile::ReadOnlyFile(const std::filesystem::path &path)
{
    const OpenedFile file = openRegularFile(path, O_RDONLY);
    m_fd = file.fd;
    m_status = file.status();
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace ondelog

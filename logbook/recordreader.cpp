// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/recordreader.h"

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
            break; // end of file
        got += static_cast<std::size_t>(r);
    }
    return LogStatus::Ok;
}

RecordReader::RecordReader() : m_buffer(std::make_unique_for_overwrite<char[]>(kChunkBytes)) {}

RecordReader::RecordReader(int fd) : RecordReader()
{
    m_fd = fd;
}

RecordReader::~RecordReader()
{
    if (m_ownsFd && m_fd >= 0)
        ::close(m_fd);
}

LogStatus RecordReader::open(const std::filesystem::path &path)
{
    if (m_ownsFd && m_fd >= 0)
        ::close(m_fd);
    const OpenedFile file = openRegularFile(path, O_RDONLY);
    m_fd = file.fd;
    m_ownsFd = true;
    return file.status();
}

std::int64_t RecordReader::fileSize() const
{
    struct stat st
    {
    };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return -1;
    return st.st_size;
}

LogStatus RecordReader::read(std::int64_t offset, std::size_t size, std::span<char> &bytes)
{
    bytes = {};
    if (m_fd < 0)
        return LogStatus::NotOpen;
    std::size_t got = 0;
    if (const LogStatus s = readAt(m_fd, offset, m_buffer.get(), std::min(size, kChunkBytes), got);
        s != LogStatus::Ok)
        return s;
    bytes = {m_buffer.get(), got};
    return LogStatus::Ok;
}

} // namespace ondelog

#include "maintenance/recordreader.h"

#include "logbook/regularfile.h"
#include "logbook/safefile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondelog {

RecordReader::RecordReader()
    : m_buffer(std::make_unique_for_overwrite<char[]>(kChunkRecords * kRecordSize))
{
}

RecordReader::~RecordReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

LogStatus RecordReader::open(const std::filesystem::path &path)
{
    if (m_fd >= 0)
        ::close(m_fd);
    const OpenedFile file = openRegularFile(path, O_RDONLY);
    m_fd = file.fd;
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

LogStatus RecordReader::readChunk(std::int32_t first, std::int32_t records, const char *&data)
{
    if (m_fd < 0)
        return LogStatus::NotOpen;
    const std::size_t size = static_cast<std::size_t>(records) * kRecordSize;
    const auto offset = static_cast<off_t>(std::int64_t{first - 1} * std::int64_t{kRecordSize});
    std::size_t got = 0;
    while (got < size) {
        const ssize_t r =
            ::pread(m_fd, m_buffer.get() + got, size - got, offset + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return statusFromErrno(errno);
        if (r == 0)
            return LogStatus::IoError; // the file is shorter than its count says
        got += static_cast<std::size_t>(r);
    }
    data = m_buffer.get();
    return LogStatus::Ok;
}

} // namespace ondelog

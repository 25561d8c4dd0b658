#include "dbexport/logreader.h"

#include "logbook/regularfile.h"
#include "logbook/safefile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondelog {

namespace {

constexpr std::size_t kBlockRecords = 1024;

} // namespace

LogReader::~LogReader()
{
    close();
}

LogStatus LogReader::open(const std::filesystem::path &path)
{
    close();
    const OpenedFile file = openRegularFile(path, O_RDONLY);
    m_fd = file.fd;
    if (m_fd < 0)
        return m_status = file.status();
    m_buffer.resize(kBlockRecords * kRecordSize);
    m_begin = m_end = 0;
    m_eof = false;
    return m_status = LogStatus::Ok;
}

bool LogReader::fill()
{
    // Keep the start of a record cut by the previous block.
    std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
    m_end -= m_begin;
    m_begin = 0;
    while (!m_eof && m_end < m_buffer.size()) {
        const ssize_t got = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            m_status = statusFromErrno(errno);
            return false;
        }
        if (got == 0)
            m_eof = true;
        m_end += static_cast<std::size_t>(got);
    }
    return true;
}

bool LogReader::next(QsoRecord &record)
{
    if (m_fd < 0 || m_status != LogStatus::Ok)
        return false;
    if (m_end - m_begin < kRecordSize && (!fill() || m_end - m_begin < kRecordSize))
        return false;
    std::memcpy(record.bytes().data(), m_buffer.data() + m_begin, kRecordSize);
    m_begin += kRecordSize;
    return true;
}

void LogReader::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_status = LogStatus::NotOpen;
}

} // namespace ondelog

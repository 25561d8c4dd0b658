#pragma once
// Reads a log's records one after the other from the start, a large block at a
// time: a conversion walks every record once, and one read per record would
// cost more than the conversion itself.

#include "logbook/logfile.h"
#include "logbook/record.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace ondelog {

class LogReader
{
  public:
    LogReader() = default;
    ~LogReader();
    LogReader(const LogReader &) = delete;
    LogReader &operator=(const LogReader &) = delete;

    /** Opens the log for reading only. */
    LogStatus open(const std::filesystem::path &path);
    /** The next whole record into `record`: false at the end of the file (a
     *  trailing partial record is not a record) or on a read error (status()). */
    bool next(QsoRecord &record);
    LogStatus status() const { return m_status; }
    void close();

  private:
    bool fill();

    int m_fd = -1;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
    LogStatus m_status = LogStatus::NotOpen;
};

} // namespace ondelog

#pragma once
// Low-level reading shared by the copy and the merge: whole chunks of records,
// read from a file descriptor at an offset.

#include "logbook/logfile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace ondelog {

/** Records per chunk: just under 64 KiB a read. */
inline constexpr std::size_t kCopyChunkRecords = 397;

/** Reads up to `size` bytes at `offset`; `got` is short only at the end of file. */
LogStatus readAt(int fd, std::int64_t offset, char *data, std::size_t size, std::size_t &got);

/** A file opened for reading, closed with the object. */
class ReadOnlyFile
{
  public:
    explicit ReadOnlyFile(const std::filesystem::path &path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    /** Ok once open on a regular file (anything else is NotRegularFile). */
    LogStatus status() const { return m_status; }
    int fd() const { return m_fd; }

  private:
    int m_fd = -1;
    LogStatus m_status = LogStatus::Ok;
};

} // namespace ondelog

#pragma once
// Walks the records of a log file in large reads. A search, the duplicate
// search and the sort each look at every record once, in order; reading them
// one system call apiece would cost many times the reading of the file.

#include "logbook/logfile.h"
#include "logbook/record.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace ondelog {

class RecordReader
{
  public:
    /** Records per read: just under 64 KiB. */
    static constexpr std::size_t kChunkRecords = 397;

    RecordReader();
    ~RecordReader();
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    /** Opens `path` for reading only. */
    LogStatus open(const std::filesystem::path &path);
    /** Size of the file in bytes, or -1 when it cannot be known. */
    std::int64_t fileSize() const;

    /** Calls visit(n, bytes) for every record n from `first` to `last`, in order,
     *  with its kRecordSize bytes; then chunkDone(n) after each read with the last
     *  record visited. A file shorter than `last` records is an IoError. */
    template <typename Visit, typename ChunkDone>
    LogStatus forEach(std::int32_t first, std::int32_t last, Visit &&visit, ChunkDone &&chunkDone)
    {
        for (std::int32_t n = first; n <= last;) {
            const auto records = static_cast<std::int32_t>(
                std::min<std::int64_t>(kChunkRecords, std::int64_t{last} - n + 1));
            const char *data = nullptr;
            if (const LogStatus s = readChunk(n, records, data); s != LogStatus::Ok)
                return s;
            for (std::int32_t i = 0; i < records; ++i)
                visit(n + i, data + static_cast<std::size_t>(i) * kRecordSize);
            n += records;
            chunkDone(n - 1);
        }
        return LogStatus::Ok;
    }

    template <typename Visit>
    LogStatus forEach(std::int32_t first, std::int32_t last, Visit &&visit)
    {
        return forEach(first, last, visit, [](std::int32_t) {});
    }

  private:
    LogStatus readChunk(std::int32_t first, std::int32_t records, const char *&data);

    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
};

} // namespace ondelog

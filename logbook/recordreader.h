// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the core reads a log in bulk. Counting, a search, the sort, a
// copy, a merge, an export each look at every record once, in order; reading
// them one system call apiece would cost many times the reading of the file,
// so they read large chunks of whole records at known offsets.
//
// Reading changes nothing on disk: it does not go through fileio.h, whose hook
// only stands for the operations a crash could leave half done.

#include "logbook/logfile.h"
#include "logbook/record.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace ondelog {

/** Records per read: 65,505 bytes, just under 64 KiB. */
inline constexpr std::size_t kChunkRecords = 397;
inline constexpr std::size_t kChunkBytes = kChunkRecords * kRecordSize;

/** Byte offset of record n (n >= 1). */
constexpr std::int64_t offsetOfRecord(std::int32_t n)
{
    return std::int64_t{n - 1} * std::int64_t{kRecordSize};
}

/** Reads up to `size` bytes at `offset` of `fd`, in as many reads as it takes
 *  (an interrupted one is tried again); `got` is short of `size` only at the
 *  end of the file. Every positional read of the core goes through here. */
LogStatus readAt(int fd, std::int64_t offset, char *data, std::size_t size, std::size_t &got);

class RecordReader
{
  public:
    /** Reads nothing until open(). */
    RecordReader();
    /** Reads through `fd`, which stays its owner's to close (the open log's own). */
    explicit RecordReader(int fd);
    ~RecordReader();
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    /** Opens `path` for reading only; only a regular file (openRegularFile). */
    LogStatus open(const std::filesystem::path &path);
    /** Size of the file in bytes, or -1 when it cannot be known. */
    std::int64_t fileSize() const;

    /** Reads up to `size` bytes (at most kChunkBytes) at byte `offset` into the
     *  reader's buffer. `bytes` is what was read, short only at the end of the
     *  file; it stays valid, and the caller may change it, until the next read. */
    LogStatus read(std::int64_t offset, std::size_t size, std::span<char> &bytes);
    /** One chunk at `offset`. */
    LogStatus read(std::int64_t offset, std::span<char> &bytes)
    {
        return read(offset, kChunkBytes, bytes);
    }

    /** Calls visit(n, bytes) for every record n from `first` to `last`, in order,
     *  with its kRecordSize bytes; then chunkDone(n) after each read with the last
     *  record visited. A file shorter than `last` records is an IoError. */
    template <typename Visit, typename ChunkDone>
    LogStatus forEach(std::int32_t first, std::int32_t last, Visit &&visit, ChunkDone &&chunkDone)
    {
        for (std::int32_t n = first; n <= last;) {
            const auto records = static_cast<std::int32_t>(
                std::min<std::int64_t>(kChunkRecords, std::int64_t{last} - n + 1));
            const std::size_t size = static_cast<std::size_t>(records) * kRecordSize;
            std::span<char> bytes;
            if (const LogStatus s = read(offsetOfRecord(n), size, bytes); s != LogStatus::Ok)
                return s;
            if (bytes.size() < size)
                return LogStatus::IoError; // the file is shorter than its count says
            for (std::int32_t i = 0; i < records; ++i)
                visit(n + i, bytes.data() + static_cast<std::size_t>(i) * kRecordSize);
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

    /** Calls visit(bytes) for every whole record from the first, in order, until
     *  it returns false or the file ends. A trailing piece shorter than a record
     *  is never a record: it is not visited. */
    template <typename Visit> LogStatus scan(Visit &&visit)
    {
        for (std::int64_t offset = 0;;) {
            std::span<char> bytes;
            if (const LogStatus s = read(offset, bytes); s != LogStatus::Ok)
                return s;
            const std::size_t whole = bytes.size() / kRecordSize;
            for (std::size_t i = 0; i < whole; ++i)
                if (!visit(static_cast<const char *>(bytes.data() + i * kRecordSize)))
                    return LogStatus::Ok;
            if (bytes.size() < kChunkBytes)
                return LogStatus::Ok;
            offset += static_cast<std::int64_t>(kChunkBytes);
        }
    }

  private:
    int m_fd = -1;
    bool m_ownsFd = false;
    std::unique_ptr<char[]> m_buffer;
};

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The open log: a file of 165-byte records numbered from 1, no header. Records
// 1..N are the contacts, record N+1 the end marker. One record is read or
// written at its offset; nothing of the log is kept in memory, and every write
// goes to the file at once (no user-space buffering).

#include "logbook/record.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ondelog {

enum class LogStatus
{
    Ok,
    NotOpen,       ///< no log is open
    NotFound,      ///< the file does not exist
    AccessDenied,  ///< no permission, or the file is locked
    ReadOnly,      ///< opened for reading only: writes are refused
    DiskFull,      ///< the device has no room left
    OutOfRange,    ///< record number outside 1..N+1 (or 1..N where a contact is needed)
    IoError,       ///< any other failure of the file system
    InvalidRecord, ///< a contact whose call sign would read as the end of the log
    NotRegularFile, ///< a folder, a named pipe or a device where a file was expected
};

/** French sentence for a failure, to show in a message box ("" for Ok). */
std::string statusMessageUtf8(LogStatus status);

/** Why a log that was asked for writing could only be opened for reading. */
enum class ReadOnlyCause
{
    None,              ///< writable, or opened for reading on purpose
    FileNotWritable,   ///< no permission to write the file
    FolderNotWritable, ///< the file is writable but its folder is not: no rewrite could replace it
    ReadOnlyMedium,    ///< the file system is mounted read-only
};

/** French reason for a read-only opening, to follow "en lecture seule : ". */
std::string readOnlyCauseUtf8(ReadOnlyCause cause);

/** What is wrong with a log that opens but was not left in the state this
 *  program writes (found by LogFile::inspect()). Nothing is repaired. */
struct LogDamage
{
    bool missingEndMarker = false;       ///< the file is not empty but holds no end marker
    std::int64_t partialBytes = 0;       ///< length of a trailing piece shorter than a record
    std::int32_t controlRecords = 0;     ///< contacts holding control bytes (NUL, line breaks...)
    std::int32_t firstControlRecord = 0; ///< the first of them

    bool any() const { return missingEndMarker || partialBytes > 0 || controlRecords > 0; }
};

/** French warning naming what is wrong and advising a backup ("" when nothing). */
std::string damageMessageUtf8(const LogDamage &damage);
/** What is wrong, one "- ..." line each (UTF-8, "" when nothing). */
std::string damageListUtf8(const LogDamage &damage);

class SafeFileWriter;

class LogFile
{
  public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

    /** Closes any open log, opens `path` for reading and writing (falling back to
     *  reading only when writing is not allowed: then isReadOnly() and every write
     *  returns ReadOnly), then counts. A missing file is NotFound (never created). */
    LogStatus open(const std::filesystem::path &path);
    /** As open(), but never asks for writing: for programs that only read a log
     *  (export, backup source, another station's log). Every write returns ReadOnly. */
    LogStatus openReadOnly(const std::filesystem::path &path);
    /** Creates a new log holding the end marker alone. Refuses (returns IoError,
     *  nothing written) when the file already exists. Does not open it. A creation
     *  that fails half-way removes what it wrote, so that it can be tried again. */
    static LogStatus create(const std::filesystem::path &path, std::string_view stationLocator);

    void close();
    bool isOpen() const;
    bool isReadOnly() const { return m_readOnly; }
    /** Why open() could only read the log (None after openReadOnly()). */
    ReadOnlyCause readOnlyCause() const { return m_readOnlyCause; }
    const std::filesystem::path &path() const { return m_path; } ///< LogPath

    /** Scans from record 1 to the first end marker; a file without one counts only
     *  its whole records (a trailing partial record is never a contact). Sets and
     *  returns recordCount(); remembers the end marker's MLOC (endMarkerLocator()). */
    std::int32_t countRecords();
    std::int32_t recordCount() const { return m_recordCount; } ///< N
    /** Trimmed MLOC of the end marker found by the last count, if there was one. */
    const std::optional<std::string> &endMarkerLocator() const { return m_endMarkerLocator; }

    /** Record n (n >= 1); nullopt when n is past the end of the file or on error. */
    std::optional<QsoRecord> readRecord(std::int32_t n);
    /** Writes record n (1 <= n <= N + 1 overwrites, beyond extends the file). */
    LogStatus writeRecord(std::int32_t n, const QsoRecord &record);
    /** Writes the end marker (CSGN "\", MLOC the station locator) as record n. */
    LogStatus writeEndMarker(std::int32_t n, std::string_view stationLocator);

    /** Stores a contact as record N+1 over the end marker, the end marker as N+2,
     *  waits for both to reach the disk, then counts again. The end marker goes first past the
     * contact so that a failure half-way never leaves the log without an end marker. A contact
     * whose call sign is not storable (isCallSignStorable) is refused: InvalidRecord. */
    LogStatus appendContact(const QsoRecord &contact, std::string_view stationLocator);
    /** Stores several contacts as records N+1... with one wait for the disk (a
     *  burst from another program). They join the log together, when the first
     *  is written over the old end marker, last: a failure half-way leaves the
     *  log as it was. Refused whole (InvalidRecord) if one call sign is not storable. */
    LogStatus appendContacts(std::span<const QsoRecord> contacts, std::string_view stationLocator);
    /** Deletes contact k (1..N): later records move down one place, the end marker
     *  is written at N and a blank record at N+1 (the file never shrinks); then counts.
     *  The new file is written beside the log and renamed over it, so that a crash
     *  at any point leaves the log either whole as before or whole as after. */
    LogStatus deleteRecord(std::int32_t k, std::string_view stationLocator);

    /** Puts a rewrite of this log in its place: `writer`, opened on path() and
     *  holding the whole new log, is committed, and from then on this object
     *  serves the new file, counted again. The new file is opened before it is
     *  renamed, so that nothing can fail between the rename and the moment this
     *  object follows it (a log left closed, or writing into the replaced file).
     *  A failure before the rename leaves the log and this object as they were. */
    LogStatus commitRewrite(SafeFileWriter &writer);

    /** Rewrites contact k (1..N) in place with a modified record, then waits for
     *  it to reach the disk. A call sign that would read as the end of the log is
     *  refused (InvalidRecord). */
    LogStatus replaceContact(std::int32_t k, const QsoRecord &record);
    /** Waits until what was written reaches the disk (fdatasync): once after a
     *  whole operation, not after each of its records. */
    LogStatus sync();

    /** Reads the whole log once to find what open() tolerates but a sound log
     *  never holds. Changes nothing. */
    LogDamage inspect();

    /** The last failure (Ok after success). */
    LogStatus lastStatus() const { return m_lastStatus; }

    /** `listener` is called whenever an operation that may have changed what
     *  this object serves has returned: a record written, contacts appended, a
     *  contact replaced or deleted, a rewrite put in place, another file opened,
     *  the log closed (even when the operation failed: half done, it may have
     *  changed the file). Called once per operation, with the log counted again,
     *  never from the destructor. One listener; an empty one removes it. */
    void setChangeListener(std::function<void()> listener);

  private:
    class ChangeScope;
    LogStatus openWith(const std::filesystem::path &path, bool writable);
    LogStatus checkWritable() const;
    LogStatus writeBytes(std::int64_t offset, const char *data, std::size_t size);
    LogStatus writeRaw(std::int32_t n, const QsoRecord &record);
    LogStatus finish(LogStatus status);
    LogStatus copyTo(SafeFileWriter &writer, std::int64_t from, std::int64_t to, char *buffer,
                     std::size_t bufferSize);

    int m_fd = -1;
    bool m_readOnly = false;
    ReadOnlyCause m_readOnlyCause = ReadOnlyCause::None;
    std::filesystem::path m_path;
    std::int32_t m_recordCount = 0;
    std::optional<std::string> m_endMarkerLocator;
    // False when the last count failed: N is then unknown, and writing at N+1
    // could overwrite contacts.
    bool m_countValid = false;
    LogStatus m_lastStatus = LogStatus::Ok;
    std::function<void()> m_changeListener;
    int m_changeDepth = 0; // operations under way: the outermost tells the listener
};

} // namespace ondelog

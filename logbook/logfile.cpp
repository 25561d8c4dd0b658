#include "logbook/logfile.h"

#include "logbook/safefile.h"
#include "logbook/text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace ondelog {

namespace {

// Counting and shifting move many records per system call: one pread per
// record would make a count of a large log cost far more than reading it.
constexpr std::size_t kChunkRecords = 397; // 65,505 bytes, just under 64 KiB
constexpr std::size_t kChunkBytes = kChunkRecords * kRecordSize;

// Record n + 2 must still be numbered: appending writes the end marker there.
constexpr std::int64_t kMaxRecordCount = std::numeric_limits<std::int32_t>::max() - 2;

std::int64_t offsetOf(std::int32_t n)
{
    return static_cast<std::int64_t>(n - 1) * static_cast<std::int64_t>(kRecordSize);
}

bool csgnIsEndMarker(const char *record)
{
    const FieldLayout &f = fieldLayout(Field::CSGN);
    bool seen = false;
    for (std::size_t i = 0; i < f.width; ++i) {
        const char c = record[f.offset + i];
        if (c == ' ')
            continue;
        if (c != '\\' || seen)
            return false;
        seen = true;
    }
    return seen;
}

} // namespace

std::string statusMessageUtf8(LogStatus status)
{
    switch (status) {
    case LogStatus::Ok:
        return {};
    case LogStatus::NotOpen:
        return "Aucun log n'est ouvert.";
    case LogStatus::NotFound:
        return "Le fichier est introuvable.";
    case LogStatus::AccessDenied:
        return "L'accès au fichier est refusé : droits insuffisants ou fichier utilisé par un "
               "autre programme.";
    case LogStatus::ReadOnly:
        return "Le fichier est en lecture seule : la modification n'a pas été enregistrée.";
    case LogStatus::DiskFull:
        return "Le disque est plein : la modification n'a pas été enregistrée.";
    case LogStatus::OutOfRange:
        return "Ce numéro de contact n'existe pas dans le log.";
    case LogStatus::IoError:
        return "Erreur de lecture ou d'écriture du fichier : l'opération n'a pas abouti.";
    case LogStatus::InvalidRecord:
        return "Un indicatif ne peut pas commencer par « \\ » : le contact n'a pas été "
               "enregistré.";
    }
    return "Erreur inconnue.";
}

LogFile::~LogFile()
{
    close();
}

LogStatus LogFile::open(const std::filesystem::path &path)
{
    return openWith(path, true);
}

LogStatus LogFile::openReadOnly(const std::filesystem::path &path)
{
    return openWith(path, false);
}

LogStatus LogFile::openWith(const std::filesystem::path &path, bool writable)
{
    close();

    int fd = -1;
    bool readOnly = !writable;
    if (writable) {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        const int error = errno;
        if (fd < 0 && (error == EACCES || error == EPERM || error == EROFS)) {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            readOnly = true;
        } else if (fd < 0) {
            return finish(statusFromErrno(error));
        }
    } else {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0)
        return finish(statusFromErrno(errno));

    // Only a plain file can be a log: a folder or a device would fail later in
    // ways the operator could not understand.
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return finish(LogStatus::IoError);
    }

    m_fd = fd;
    m_readOnly = readOnly;
    m_path = path;
    countRecords();
    return m_lastStatus;
}

LogStatus LogFile::create(const std::filesystem::path &path, std::string_view stationLocator)
{
    // O_EXCL: an existing log is never overwritten by a new, empty one.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? LogStatus::IoError : statusFromErrno(errno);

    const QsoRecord marker = QsoRecord::endMarker(stationLocator);
    LogStatus status = LogStatus::Ok;
    std::size_t done = 0;
    while (done < kRecordSize) {
        const ssize_t w = ::write(fd, marker.bytes().data() + done, kRecordSize - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            status = w < 0 ? statusFromErrno(errno) : LogStatus::IoError;
            break;
        }
        done += static_cast<std::size_t>(w);
    }
    if (::close(fd) != 0 && status == LogStatus::Ok)
        status = statusFromErrno(errno);
    // A half-written file would block the next attempt (O_EXCL) and is no log.
    if (status != LogStatus::Ok)
        ::unlink(path.c_str());
    return status;
}

void LogFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_readOnly = false;
    m_path.clear();
    m_recordCount = 0;
    m_currentRecordNo = 0;
    m_selectedRecordNo = 0;
    m_endMarkerLocator.reset();
    m_countValid = false;
}

bool LogFile::isOpen() const
{
    return m_fd >= 0;
}

LogStatus LogFile::finish(LogStatus status)
{
    m_lastStatus = status;
    return status;
}

LogStatus LogFile::checkWritable() const
{
    if (m_fd < 0)
        return LogStatus::NotOpen;
    if (m_readOnly)
        return LogStatus::ReadOnly;
    return LogStatus::Ok;
}

LogStatus LogFile::readBytes(std::int64_t offset, char *data, std::size_t size, std::size_t &got)
{
    got = 0;
    while (got < size) {
        const ssize_t r = ::pread(m_fd, data + got, size - got, static_cast<off_t>(offset + got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return statusFromErrno(errno);
        }
        if (r == 0)
            break; // end of file
        got += static_cast<std::size_t>(r);
    }
    return LogStatus::Ok;
}

LogStatus LogFile::writeBytes(std::int64_t offset, const char *data, std::size_t size)
{
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0)
        return statusFromErrno(errno);
    // A log removed while open still takes writes, into a file nobody will see
    // again: the contact would look stored and be lost.
    if (st.st_nlink == 0)
        return LogStatus::NotFound;

    std::size_t done = 0;
    while (done < size) {
        const ssize_t w =
            ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(offset + done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        const LogStatus status = w < 0 ? statusFromErrno(errno) : LogStatus::IoError;
        // A write that extended the file and stopped half-way would leave a piece
        // of a record at its end: give the file back its former length.
        if (offset + static_cast<std::int64_t>(size) > st.st_size) {
            struct stat now
            {
            };
            if (::fstat(m_fd, &now) == 0 && now.st_size > st.st_size)
                (void)::ftruncate(m_fd, st.st_size);
        }
        return status;
    }
    return LogStatus::Ok;
}

std::int32_t LogFile::countRecords()
{
    m_recordCount = 0;
    m_endMarkerLocator.reset();
    m_countValid = false;
    if (m_fd < 0) {
        finish(LogStatus::NotOpen);
        return 0;
    }

    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunkBytes);
    std::int64_t count = 0;
    std::int64_t offset = 0;
    for (;;) {
        std::size_t got = 0;
        const LogStatus status = readBytes(offset, buffer.get(), kChunkBytes, got);
        if (status != LogStatus::Ok) {
            m_recordCount = static_cast<std::int32_t>(std::min(count, kMaxRecordCount));
            finish(status);
            return m_recordCount;
        }
        // A trailing piece shorter than a record is never a contact.
        const std::size_t whole = got / kRecordSize;
        for (std::size_t i = 0; i < whole; ++i) {
            const char *record = buffer.get() + i * kRecordSize;
            if (csgnIsEndMarker(record)) {
                const FieldLayout &mloc = fieldLayout(Field::MLOC);
                m_endMarkerLocator = trim(std::string_view(record + mloc.offset, mloc.width));
                m_recordCount = static_cast<std::int32_t>(count);
                m_countValid = true;
                finish(LogStatus::Ok);
                return m_recordCount;
            }
            if (++count > kMaxRecordCount) {
                m_recordCount = static_cast<std::int32_t>(kMaxRecordCount);
                finish(LogStatus::IoError);
                return m_recordCount;
            }
        }
        if (got < kChunkBytes)
            break;
        offset += static_cast<std::int64_t>(got);
    }
    m_recordCount = static_cast<std::int32_t>(count);
    m_countValid = true;
    finish(LogStatus::Ok);
    return m_recordCount;
}

std::optional<QsoRecord> LogFile::readRecord(std::int32_t n)
{
    if (m_fd < 0) {
        finish(LogStatus::NotOpen);
        return std::nullopt;
    }
    if (n < 1) {
        finish(LogStatus::OutOfRange);
        return std::nullopt;
    }
    QsoRecord record;
    std::size_t got = 0;
    const LogStatus status = readBytes(offsetOf(n), record.bytes().data(), kRecordSize, got);
    if (status != LogStatus::Ok) {
        finish(status);
        return std::nullopt;
    }
    if (got < kRecordSize) {
        finish(LogStatus::OutOfRange);
        return std::nullopt;
    }
    finish(LogStatus::Ok);
    return record;
}

LogStatus LogFile::writeRaw(std::int32_t n, const QsoRecord &record)
{
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    if (n < 1)
        return finish(LogStatus::OutOfRange);
    return finish(writeBytes(offsetOf(n), record.bytes().data(), kRecordSize));
}

LogStatus LogFile::writeRecord(std::int32_t n, const QsoRecord &record)
{
    return writeRaw(n, record);
}

LogStatus LogFile::writeEndMarker(std::int32_t n, std::string_view stationLocator)
{
    return writeRaw(n, QsoRecord::endMarker(stationLocator));
}

LogStatus LogFile::appendContact(const QsoRecord &contact, std::string_view stationLocator)
{
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    if (!m_countValid || m_recordCount >= kMaxRecordCount)
        return finish(LogStatus::IoError);
    // Stored, such a call sign would end the log there: the contacts after it
    // would vanish from the count and be overwritten by the next append.
    if (!isCallSignStorable(contact.rawField(static_cast<int>(Field::CSGN))))
        return finish(LogStatus::InvalidRecord);

    const std::int32_t n = m_recordCount + 1;
    if (const LogStatus s = writeEndMarker(n + 1, stationLocator); s != LogStatus::Ok)
        return s;
    if (const LogStatus s = writeRaw(n, contact); s != LogStatus::Ok)
        return s;
    countRecords();
    return m_lastStatus;
}

LogStatus LogFile::deleteRecord(std::int32_t k, std::string_view stationLocator)
{
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    if (!m_countValid)
        return finish(LogStatus::IoError);
    const std::int32_t n = m_recordCount;
    if (k < 1 || k > n)
        return finish(LogStatus::OutOfRange);

    if (k < n) {
        if (const LogStatus s = writeRaw(k, QsoRecord()); s != LogStatus::Ok)
            return s;
        // Records k+1..N move down one place, a chunk at a time, in increasing
        // order: every chunk is read before the write that follows it overwrites
        // any of it, and the end marker at N+1 stays until the shift is done.
        const auto buffer = std::make_unique_for_overwrite<char[]>(kChunkBytes);
        for (std::int32_t j = k + 1; j <= n;) {
            const auto records =
                static_cast<std::int32_t>(std::min<std::int64_t>(kChunkRecords, n - j + 1));
            const std::size_t bytes = static_cast<std::size_t>(records) * kRecordSize;
            std::size_t got = 0;
            if (const LogStatus s = readBytes(offsetOf(j), buffer.get(), bytes, got);
                s != LogStatus::Ok)
                return finish(s);
            if (got < bytes)
                return finish(LogStatus::IoError); // the file shrank under us
            if (const LogStatus s = writeBytes(offsetOf(j - 1), buffer.get(), bytes);
                s != LogStatus::Ok)
                return finish(s);
            j += records;
        }
    }

    if (const LogStatus s = writeEndMarker(n, stationLocator); s != LogStatus::Ok)
        return s;
    if (const LogStatus s = writeRaw(n + 1, QsoRecord()); s != LogStatus::Ok)
        return s;
    countRecords();
    return m_lastStatus;
}

} // namespace ondelog

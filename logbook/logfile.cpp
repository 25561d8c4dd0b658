// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logfile.h"

#include "logbook/fileio.h"
#include "logbook/recordreader.h"
#include "logbook/regularfile.h"
#include "logbook/safefile.h"
#include "text/text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace ondelog {

namespace {

// Record n + 2 must still be numbered: appending writes the end marker there.
constexpr std::int64_t kMaxRecordCount = std::numeric_limits<std::int32_t>::max() - 2;

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

std::string recordBytesOf(const QsoRecord &record)
{
    return std::string(record.bytes().begin(), record.bytes().end());
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
    case LogStatus::NotRegularFile:
        return "Ce n'est pas un fichier mais un dossier, un tube nommé ou un périphérique : "
               "Ondelog ne l'ouvre pas.";
    }
    return "Erreur inconnue.";
}

std::string readOnlyCauseUtf8(ReadOnlyCause cause)
{
    switch (cause) {
    case ReadOnlyCause::None:
        return {};
    case ReadOnlyCause::FileNotWritable:
        return "vous n'avez pas le droit d'écrire dans ce fichier.";
    case ReadOnlyCause::FolderNotWritable:
        return "vous n'avez pas le droit d'écrire dans son dossier, où toute suppression "
               "écrit le log à neuf avant de remplacer l'ancien.";
    case ReadOnlyCause::ReadOnlyMedium:
        return "le disque ou le support qui le contient est en lecture seule.";
    }
    return {};
}

std::string damageListUtf8(const LogDamage &damage)
{
    std::string text;
    if (damage.missingEndMarker)
        text += "- il se termine sans la fiche de fin « \\ » ;\n";
    if (damage.partialBytes > 0)
        text += "- sa dernière fiche est incomplète (" + std::to_string(damage.partialBytes) +
                " octet" + (damage.partialBytes > 1 ? "s" : "") + " au lieu de " +
                std::to_string(kRecordSize) + ") ;\n";
    if (damage.controlRecords == 1)
        text += "- la fiche N° " + std::to_string(damage.firstControlRecord) +
                " contient des caractères de contrôle (octet nul, saut de ligne...) ;\n";
    else if (damage.controlRecords > 1)
        text += "- " + std::to_string(damage.controlRecords) +
                " fiches contiennent des caractères de contrôle (octet nul, saut de ligne...), "
                "la première est la fiche N° " +
                std::to_string(damage.firstControlRecord) + " ;\n";
    return text;
}

std::string damageMessageUtf8(const LogDamage &damage)
{
    if (!damage.any())
        return {};
    return "Ce log semble endommagé :\n" + damageListUtf8(damage) +
           "\nIl est ouvert tel quel : Ondelog n'y change rien. Faites-en une copie de "
           "sauvegarde avant d'y saisir, modifier ou supprimer des contacts.";
}

// Marks an operation that may change the file: when the outermost one ends
// (an append writes its records through writeRaw), the listener hears of it.
class LogFile::ChangeScope
{
  public:
    explicit ChangeScope(LogFile &log) : m_log(log) { ++m_log.m_changeDepth; }
    ~ChangeScope()
    {
        if (--m_log.m_changeDepth == 0 && m_log.m_changeListener)
            m_log.m_changeListener();
    }
    ChangeScope(const ChangeScope &) = delete;
    ChangeScope &operator=(const ChangeScope &) = delete;

  private:
    LogFile &m_log;
};

LogFile::~LogFile()
{
    // Whoever listens may be half gone with the owner of this log.
    m_changeListener = nullptr;
    close();
}

void LogFile::setChangeListener(std::function<void()> listener)
{
    m_changeListener = std::move(listener);
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
    const ChangeScope change(*this);
    close();

    bool readOnly = !writable;
    ReadOnlyCause cause = ReadOnlyCause::None;
    OpenedFile file;
    if (writable) {
        file = openRegularFile(path, O_RDWR);
        if (file.fd < 0 && (file.error == EACCES || file.error == EPERM || file.error == EROFS)) {
            const int error = file.error;
            file = openRegularFile(path, O_RDONLY);
            readOnly = true;
            cause = error == EROFS ? ReadOnlyCause::ReadOnlyMedium : ReadOnlyCause::FileNotWritable;
        } else if (file.fd >= 0) {
            // A deletion writes the log anew beside it and renames it over the
            // old one: in a folder that refuses new files it could only fail, after
            // the operator had been told the log was writable.
            const std::filesystem::path folder =
                path.parent_path().empty() ? "." : path.parent_path();
            const int folderError = fileio::folderWriteError(folder.c_str());
            if (folderError == EACCES || folderError == EPERM || folderError == EROFS) {
                readOnly = true;
                cause = folderError == EROFS ? ReadOnlyCause::ReadOnlyMedium
                                             : ReadOnlyCause::FolderNotWritable;
            }
        }
    } else {
        file = openRegularFile(path, O_RDONLY);
    }
    // Only a regular file can be a log: a folder or a device would fail later
    // in ways the operator could not understand, and a pipe would never answer.
    if (file.fd < 0)
        return finish(file.status());

    m_fd = file.fd;
    m_readOnly = readOnly;
    m_readOnlyCause = cause;
    m_path = path;
    countRecords();
    return m_lastStatus;
}

LogStatus LogFile::create(const std::filesystem::path &path, std::string_view stationLocator)
{
    // O_EXCL: an existing log is never overwritten by a new, empty one.
    const int fd = fileio::openFile(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? LogStatus::IoError : statusFromErrno(errno);

    const QsoRecord marker = QsoRecord::endMarker(stationLocator);
    LogStatus status = LogStatus::Ok;
    if (fileio::writeAll(fd, marker.bytes().data(), kRecordSize) != 0)
        status = statusFromErrno(errno);
    // The first-run window reports the log as created: it must survive a crash
    // that follows.
    else if (fileio::fsync(fd) != 0)
        status = statusFromErrno(errno);
    if (::close(fd) != 0 && status == LogStatus::Ok)
        status = statusFromErrno(errno);
    // The file's name is an entry of its folder: without the folder on the disk
    // too, a crash could still take the new log away.
    if (status == LogStatus::Ok)
        status = syncFolder(path.parent_path());
    // A half-written file would block the next attempt (O_EXCL) and is no log.
    if (status != LogStatus::Ok)
        fileio::unlink(path.c_str());
    return status;
}

void LogFile::close()
{
    // Closing what is not open changes nothing anyone shows.
    std::optional<ChangeScope> change;
    if (m_fd >= 0)
        change.emplace(*this);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_readOnly = false;
    m_readOnlyCause = ReadOnlyCause::None;
    m_path.clear();
    m_recordCount = 0;
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

    if (fileio::pwriteAll(m_fd, data, size, static_cast<off_t>(offset)) == 0)
        return LogStatus::Ok;
    const LogStatus status = statusFromErrno(errno);
    // A write that extended the file and stopped half-way would leave a piece of
    // a record at its end: give the file back its former length.
    if (offset + static_cast<std::int64_t>(size) > st.st_size) {
        struct stat now
        {
        };
        if (::fstat(m_fd, &now) == 0 && now.st_size > st.st_size)
            (void)fileio::truncate(m_fd, st.st_size);
    }
    return status;
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

    std::int64_t count = 0;
    const LogStatus status = RecordReader(m_fd).scan([&](const char *record) {
        if (csgnIsEndMarker(record)) {
            const FieldLayout &mloc = fieldLayout(Field::MLOC);
            m_endMarkerLocator = trim(std::string_view(record + mloc.offset, mloc.width));
            return false;
        }
        return ++count <= kMaxRecordCount;
    });
    m_recordCount = static_cast<std::int32_t>(std::min(count, kMaxRecordCount));
    if (status != LogStatus::Ok || count > kMaxRecordCount) {
        m_endMarkerLocator.reset();
        finish(status != LogStatus::Ok ? status : LogStatus::IoError);
        return m_recordCount;
    }
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
    const LogStatus status =
        readAt(m_fd, offsetOfRecord(n), record.bytes().data(), kRecordSize, got);
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
    const ChangeScope change(*this);
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    if (n < 1)
        return finish(LogStatus::OutOfRange);
    return finish(writeBytes(offsetOfRecord(n), record.bytes().data(), kRecordSize));
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
    return appendContacts(std::span(&contact, 1), stationLocator);
}

LogStatus LogFile::appendContacts(std::span<const QsoRecord> contacts,
                                  std::string_view stationLocator)
{
    const ChangeScope change(*this);
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    if (!m_countValid ||
        m_recordCount > kMaxRecordCount - static_cast<std::int64_t>(contacts.size()))
        return finish(LogStatus::IoError);
    // Stored, such a call sign would end the log there: the contacts after it
    // would vanish from the count and be overwritten by the next append.
    for (const QsoRecord &contact : contacts)
        if (!isCallSignStorable(contact.rawField(static_cast<int>(Field::CSGN))))
            return finish(LogStatus::InvalidRecord);
    if (contacts.empty())
        return finish(LogStatus::Ok);

    // The end marker goes first past the first contact so that a failure half-way
    // never leaves the log without an end marker; the contacts after the first go
    // with it, and all join the log when the first replaces the old end marker.
    const std::int32_t n = m_recordCount + 1;
    std::string tail;
    tail.reserve(contacts.size() * kRecordSize);
    for (const QsoRecord &contact : contacts.subspan(1))
        tail.append(contact.bytes().data(), kRecordSize);
    const QsoRecord marker = QsoRecord::endMarker(stationLocator);
    tail.append(marker.bytes().data(), kRecordSize);
    if (const LogStatus s = finish(writeBytes(offsetOfRecord(n + 1), tail.data(), tail.size()));
        s != LogStatus::Ok)
        return s;
    if (const LogStatus s = writeRaw(n, contacts.front()); s != LogStatus::Ok)
        return s;
    // The window says "stored" once this returns: the contacts must be on the
    // disk by then, not in a cache a power cut would empty.
    const LogStatus synced = sync();
    countRecords();
    return synced != LogStatus::Ok ? finish(synced) : m_lastStatus;
}

LogStatus LogFile::replaceContact(std::int32_t k, const QsoRecord &record)
{
    const ChangeScope change(*this);
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    if (!m_countValid)
        return finish(LogStatus::IoError);
    if (k < 1 || k > m_recordCount)
        return finish(LogStatus::OutOfRange);
    // A contact renamed "\" would end the log there and hide every later one.
    if (!isCallSignStorable(record.rawField(static_cast<int>(Field::CSGN))))
        return finish(LogStatus::InvalidRecord);
    if (const LogStatus s = writeRaw(k, record); s != LogStatus::Ok)
        return s;
    return sync();
}

LogStatus LogFile::sync()
{
    if (m_fd < 0)
        return finish(LogStatus::NotOpen);
    if (fileio::fdatasync(m_fd) != 0 && errno != EINVAL)
        return finish(statusFromErrno(errno));
    return finish(LogStatus::Ok);
}

LogDamage LogFile::inspect()
{
    LogDamage damage;
    if (m_fd < 0)
        return damage;
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0)
        return damage;
    damage.partialBytes = static_cast<std::int64_t>(st.st_size % static_cast<off_t>(kRecordSize));

    std::int64_t recordNo = 0;
    bool ended = false;
    const LogStatus status = RecordReader(m_fd).scan([&](const char *record) {
        ++recordNo;
        if (csgnIsEndMarker(record)) {
            ended = true;
            return false;
        }
        const bool control = std::any_of(record, record + kRecordSize, isControlByte);
        if (control && damage.controlRecords++ == 0)
            damage.firstControlRecord =
                static_cast<std::int32_t>(std::min<std::int64_t>(recordNo, kMaxRecordCount));
        return true;
    });
    // An empty file is a log with no contact yet, as the count reads it; a
    // marker missing after anything else means the end of the log was lost.
    if (status == LogStatus::Ok && !ended)
        damage.missingEndMarker = st.st_size > 0;
    return damage;
}

LogStatus LogFile::deleteRecord(std::int32_t k, std::string_view stationLocator)
{
    const ChangeScope change(*this);
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    if (!m_countValid)
        return finish(LogStatus::IoError);
    const std::int32_t n = m_recordCount;
    if (k < 1 || k > n)
        return finish(LogStatus::OutOfRange);

    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0)
        return finish(statusFromErrno(errno));
    if (st.st_nlink == 0)
        return finish(LogStatus::NotFound); // the log was removed while open

    // The new log is the old one with record k cut out, the end marker moved up
    // and a blank record over the old end marker: byte for byte what moving the
    // records down in place would give, including whatever lies past the end
    // marker, so the file keeps its length. Written whole beside the log and
    // renamed over it, it replaces the log in one step: a crash before the
    // rename leaves the old log, after it the new one.
    SafeFileWriter writer(m_path);
    if (const LogStatus s = writer.open(); s != LogStatus::Ok)
        return finish(s);
    constexpr std::size_t kCopyBytes = 16 * kChunkBytes; // about 1 MiB
    const auto buffer = std::make_unique_for_overwrite<char[]>(kCopyBytes);
    const auto size = static_cast<std::int64_t>(st.st_size);
    if (const LogStatus s = copyTo(writer, 0, offsetOfRecord(k), buffer.get(), kCopyBytes);
        s != LogStatus::Ok)
        return finish(s);
    if (const LogStatus s =
            copyTo(writer, offsetOfRecord(k + 1), offsetOfRecord(n + 1), buffer.get(), kCopyBytes);
        s != LogStatus::Ok)
        return finish(s);
    std::string tail = recordBytesOf(QsoRecord::endMarker(stationLocator));
    tail += recordBytesOf(QsoRecord());
    if (const LogStatus s = writer.write(tail.data(), tail.size()); s != LogStatus::Ok)
        return finish(s);
    if (const LogStatus s = copyTo(writer, offsetOfRecord(n + 2), size, buffer.get(), kCopyBytes);
        s != LogStatus::Ok)
        return finish(s);

    return commitRewrite(writer);
}

LogStatus LogFile::commitRewrite(SafeFileWriter &writer)
{
    const ChangeScope change(*this);
    if (const LogStatus s = checkWritable(); s != LogStatus::Ok)
        return finish(s);
    // Opened before the rename, so that once the new log is in place nothing can
    // fail before this handle serves it: the old one would still point at the
    // replaced file, which every later write would then go to.
    const int fd = ::open(writer.temporaryPath().c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return finish(statusFromErrno(errno));
    if (const LogStatus s = writer.commit(); s != LogStatus::Ok) {
        // A failure after the rename (syncing the folder) still leaves the new
        // log in place: the handle must follow it.
        struct stat now
        {
        };
        if (::fstat(fd, &now) == 0 && now.st_nlink > 0) {
            ::close(m_fd);
            m_fd = fd;
            countRecords();
        } else {
            ::close(fd);
        }
        return finish(s);
    }
    ::close(m_fd);
    m_fd = fd;
    countRecords();
    return m_lastStatus;
}

LogStatus LogFile::copyTo(SafeFileWriter &writer, std::int64_t from, std::int64_t to, char *buffer,
                          std::size_t bufferSize)
{
    while (from < to) {
        const auto bytes = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(bufferSize), to - from));
        std::size_t got = 0;
        if (const LogStatus s = readAt(m_fd, from, buffer, bytes, got); s != LogStatus::Ok)
            return s;
        if (got == 0)
            return LogStatus::IoError; // the file shrank under us
        if (const LogStatus s = writer.write(buffer, got); s != LogStatus::Ok)
            return s;
        from += static_cast<std::int64_t>(got);
    }
    return LogStatus::Ok;
}

} // namespace ondelog

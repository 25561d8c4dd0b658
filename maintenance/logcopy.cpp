// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/logcopy.h"

#include "logbook/recordreader.h"
#include "logbook/safefile.h"

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace ondelog {

namespace {

std::string causeUtf8(LogStatus status)
{
    switch (status) {
    case LogStatus::NotFound:
        return "le dossier de destination est introuvable (support absent ?)";
    case LogStatus::AccessDenied:
        return "l'accès est refusé (droits insuffisants)";
    case LogStatus::ReadOnly:
        return "le support est protégé en écriture";
    case LogStatus::DiskFull:
        return "le support est plein";
    default:
        return "erreur d'écriture sur le support";
    }
}

} // namespace

std::filesystem::path backupFolder(const std::filesystem::path &programFolder)
{
    return programFolder / kBackupFolderName;
}

int removeBackupLeftovers(const std::filesystem::path &programFolder)
{
    // Only backups are written there, each under the name the operator chose.
    return SafeFileWriter::removeLeftoversIn(backupFolder(programFolder));
}

LogStatus ensureFolder(const std::filesystem::path &folder)
{
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec))
        return LogStatus::Ok;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return statusFromErrno(ec.value());
    // create_directories says nothing when a plain file stands in the way.
    return std::filesystem::is_directory(folder, ec) ? LogStatus::Ok : LogStatus::IoError;
}

std::filesystem::path followLink(const std::filesystem::path &path)
{
    // Replacing the link itself by a plain file would leave the real file stale
    // without a word.
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const std::filesystem::path target = std::filesystem::canonical(path, ec);
        if (!ec)
            return target;
    }
    return path;
}

bool isSameFile(const std::filesystem::path &a, const std::filesystem::path &b)
{
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

CopyResult copyLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                   std::string_view stationLocator)
{
    CopyResult result;
    auto fail = [&result](CopyFailure failure, LogStatus status) {
        result.failure = failure;
        result.status = status;
        result.contacts = 0;
        return result;
    };

    // Renamed over the log, the copy would leave the program writing into a
    // file that is no longer there.
    if (isSameFile(log, destination))
        return fail(CopyFailure::SameFile, LogStatus::IoError);
    const std::filesystem::path target = followLink(destination);
    struct stat st
    {
    };
    // A file marked read-only is one the operator chose to keep; root would
    // replace it regardless, so the mark is read rather than left to the system.
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0)
        return fail(CopyFailure::WriteProtected, LogStatus::ReadOnly);

    RecordReader source;
    if (const LogStatus s = source.open(log); s != LogStatus::Ok)
        return fail(CopyFailure::LogUnreadable, s);

    SafeFileWriter writer(target);
    if (const LogStatus s = writer.open(); s != LogStatus::Ok)
        return fail(CopyFailure::Destination, s);

    std::int64_t offset = 0;
    std::int32_t contacts = 0;
    bool marked = false;
    while (!marked) {
        std::span<char> bytes;
        if (const LogStatus s = source.read(offset, bytes); s != LogStatus::Ok)
            return fail(CopyFailure::LogUnreadable, s);
        const std::size_t got = bytes.size();
        std::size_t whole = got / kRecordSize;
        for (std::size_t i = 0; i < whole; ++i) {
            QsoRecord record;
            std::copy_n(bytes.data() + i * kRecordSize, kRecordSize, record.bytes().data());
            if (record.isEndMarker()) {
                whole = i + 1;
                marked = true;
                break;
            }
            ++contacts;
        }
        if (const LogStatus s = writer.write(bytes.data(), whole * kRecordSize); s != LogStatus::Ok)
            return fail(CopyFailure::Destination, s);
        if (got < kChunkBytes)
            break;
        offset += static_cast<std::int64_t>(got);
    }
    if (!marked) {
        // A trailing piece shorter than a record was never a contact: the copy
        // ends with an end marker instead.
        const QsoRecord marker = QsoRecord::endMarker(stationLocator);
        if (const LogStatus s = writer.write(marker.bytes().data(), kRecordSize);
            s != LogStatus::Ok)
            return fail(CopyFailure::Destination, s);
    }
    if (const LogStatus s = writer.commit(); s != LogStatus::Ok)
        return fail(CopyFailure::Destination, s);
    result.contacts = contacts;
    return result;
}

std::string copyFailureMessageUtf8(const CopyResult &result, const std::string &destination)
{
    const std::string head = "La copie du log vers " + destination + " n'a pas été faite : ";
    switch (result.failure) {
    case CopyFailure::None:
        return {};
    case CopyFailure::LogUnreadable:
        return head + "le log ne peut pas être lu.";
    case CopyFailure::SameFile:
        return head + "c'est le fichier du log lui-même. Choisissez un autre nom ou un autre "
                      "dossier.";
    case CopyFailure::WriteProtected:
        return head + "ce fichier est protégé en écriture.";
    case CopyFailure::Destination:
        return head + causeUtf8(result.status) + ".";
    }
    return head + "erreur inconnue.";
}

std::vector<std::filesystem::path>
removableMediaFolders(const std::vector<std::filesystem::path> &bases)
{
    std::vector<std::filesystem::path> folders;
    std::set<std::filesystem::path> seen(bases.begin(), bases.end());
    for (const std::filesystem::path &base : bases) {
        std::error_code ec;
        std::filesystem::directory_iterator it(base, ec);
        if (ec)
            continue;
        std::vector<std::filesystem::path> found;
        for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
            if (ec)
                break;
            std::error_code dirError;
            if (it->is_directory(dirError) && !seen.count(it->path()))
                found.push_back(it->path());
        }
        std::sort(found.begin(), found.end());
        for (const std::filesystem::path &folder : found) {
            seen.insert(folder);
            folders.push_back(folder);
        }
    }
    return folders;
}

std::vector<std::filesystem::path> mediaBases(const std::string &user)
{
    std::vector<std::filesystem::path> bases;
    if (!user.empty())
        bases.push_back(std::filesystem::path("/media") / user);
    bases.emplace_back("/media");
    if (!user.empty())
        bases.push_back(std::filesystem::path("/run/media") / user);
    return bases;
}

} // namespace ondelog

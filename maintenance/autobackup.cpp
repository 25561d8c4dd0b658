// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/autobackup.h"

#include "logbook/fileio.h"
#include "logbook/record.h"
#include "logbook/recordreader.h"
#include "logbook/safefile.h"
#include "text/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ondelog {

namespace {

constexpr const char *kAutomaticKey = "sauvegarde.automatique";
constexpr const char *kEveryDaysKey = "sauvegarde.jours";
constexpr const char *kKeepKey = "sauvegarde.copies";
constexpr const char *kFailureKey = "sauvegarde.echec";
// Needs no data block, so it can still be made on the full disk that most
// likely made the backup fail.
constexpr const char *kFailureMarker = ".Ondelog.sauvegarde-echouee";

constexpr std::time_t kSecondsPerDay = 24 * 60 * 60;
// "_2024-03-14_184207"
constexpr std::size_t kStampChars = 18;

std::pair<std::string, std::string> splitExtension(const std::string &fileName)
{
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {fileName, {}};
    return {fileName.substr(0, dot), fileName.substr(dot)};
}

bool isDatedBackupOf(const std::string &name, const std::string &logFileName)
{
    const auto [stem, extension] = splitExtension(logFileName);
    if (name.size() != stem.size() + kStampChars + extension.size() ||
        name.compare(0, stem.size(), stem) != 0 ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return false;
    const std::string_view stamp = std::string_view(name).substr(stem.size(), kStampChars);
    constexpr std::string_view shape = "_dddd-dd-dd_dddddd";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
        if (shape[i] == 'd' ? !digit : stamp[i] != shape[i])
            return false;
    }
    return true;
}

/** True when `backup` holds exactly what a copy of `log` would: its records up
 *  to its end marker, nothing after. */
bool holdsSameLog(const std::filesystem::path &log, const std::filesystem::path &backup)
{
    RecordReader logFile;
    RecordReader backupFile;
    if (logFile.open(log) != LogStatus::Ok || backupFile.open(backup) != LogStatus::Ok)
        return false;
    const std::int64_t backupSize = backupFile.fileSize();
    for (std::int64_t offset = 0; offset < backupSize;
         offset += static_cast<std::int64_t>(kChunkBytes)) {
        std::span<char> ours;
        std::span<char> theirs;
        if (logFile.read(offset, ours) != LogStatus::Ok ||
            backupFile.read(offset, theirs) != LogStatus::Ok)
            return false;
        const std::size_t got = ours.size();
        std::size_t whole = got / kRecordSize;
        bool marked = false;
        for (std::size_t i = 0; i < whole && !marked; ++i) {
            QsoRecord record;
            std::copy_n(ours.data() + i * kRecordSize, kRecordSize, record.bytes().data());
            if (record.isEndMarker()) {
                whole = i + 1;
                marked = true;
            }
        }
        const std::size_t bytes = whole * kRecordSize;
        if (theirs.size() < bytes || !std::equal(ours.data(), ours.data() + bytes, theirs.data()))
            return false;
        if (marked)
            return offset + static_cast<std::int64_t>(bytes) == backupSize;
        // A log without an end marker is copied with one added: never the same.
        if (got < kChunkBytes)
            return false;
    }
    return false;
}

std::optional<std::time_t> modificationTime(const std::filesystem::path &file)
{
    struct stat st
    {
    };
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return st.st_mtime;
}

void stamp(const std::filesystem::path &file, std::time_t when)
{
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    // Only the age of the next backup depends on it: a failure costs one early backup.
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

} // namespace

BackupPolicy readBackupPolicy(const Settings &settings)
{
    const BackupPolicy defaults;
    BackupPolicy policy;
    policy.automatic = settings.boolValue(kAutomaticKey, defaults.automatic);
    policy.everyDays = settings.intValue(kEveryDaysKey, defaults.everyDays, 1, kMaxBackupDays);
    policy.keep = settings.intValue(kKeepKey, defaults.keep, 1, kMaxBackupsKept);
    return policy;
}

void writeBackupPolicy(Settings &settings, const BackupPolicy &policy)
{
    settings.setBool(kAutomaticKey, policy.automatic);
    settings.setInt(kEveryDaysKey, std::clamp(policy.everyDays, 1, kMaxBackupDays));
    settings.setInt(kKeepKey, std::clamp(policy.keep, 1, kMaxBackupsKept));
}

std::time_t epochSeconds(const LocalDateTime &local)
{
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string datedBackupName(const std::string &logFileName, std::time_t when)
{
    std::tm tm{};
    ::localtime_r(&when, &tm);
    char stampText[32];
    std::snprintf(stampText, sizeof stampText, "_%04d-%02d-%02d_%02d%02d%02d",
                  (tm.tm_year + 1900) % 10000, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                  tm.tm_sec);
    const auto [stem, extension] = splitExtension(logFileName);
    return stem + stampText + extension;
}

std::optional<std::time_t> latestBackupTime(const std::filesystem::path &folder,
                                            const std::string &logFileName)
{
    return modificationTime(folder / logFileName);
}

bool isBackupDue(std::optional<std::time_t> latest, std::time_t now, int everyDays)
{
    if (!latest)
        return true;
    const std::time_t age = now - *latest;
    return age < 0 || age >= static_cast<std::time_t>(everyDays) * kSecondsPerDay;
}

HistoryBackupResult backUpKeepingHistory(const std::filesystem::path &log,
                                         const std::filesystem::path &folder,
                                         std::string_view stationLocator, std::time_t now, int keep)
{
    HistoryBackupResult result;
    const std::string name = log.filename().string();
    result.latest = folder / name;
    if (const LogStatus s = ensureFolder(folder); s != LogStatus::Ok) {
        result.copy.failure = CopyFailure::Destination;
        result.copy.status = s;
        return result;
    }
    if (isSameFile(log, result.latest)) {
        result.copy.failure = CopyFailure::SameFile;
        result.copy.status = LogStatus::IoError;
        return result;
    }

    const std::optional<std::time_t> previous = modificationTime(result.latest);
    if (previous && holdsSameLog(log, result.latest)) {
        result.unchanged = true;
        LogFile counted;
        if (counted.openReadOnly(result.latest) == LogStatus::Ok)
            result.copy.contacts = counted.recordCount();
        return result;
    }
    if (previous) {
        // Two backups within the same second: the later second is free.
        std::filesystem::path dated;
        std::error_code ec;
        for (std::time_t when = *previous;; ++when) {
            dated = folder / datedBackupName(name, when);
            if (!std::filesystem::exists(dated, ec))
                break;
        }
        if (fileio::rename(result.latest.c_str(), dated.c_str()) != 0) {
            result.copy.failure = CopyFailure::Destination;
            result.copy.status = statusFromErrno(errno);
            return result;
        }
        result.movedTo = dated;
    }

    result.copy = copyLog(log, result.latest, stationLocator);
    if (!result.copy.ok()) {
        if (!result.movedTo.empty() &&
            fileio::rename(result.movedTo.c_str(), result.latest.c_str()) == 0)
            result.movedTo.clear();
        return result;
    }
    stamp(result.latest, now);

    std::vector<std::string> dated;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (isDatedBackupOf(entry, name))
            dated.push_back(entry);
    }
    // The names sort as their dates: the newest first.
    std::sort(dated.begin(), dated.end(), std::greater<>());
    const std::size_t kept = static_cast<std::size_t>(std::max(keep, 1) - 1);
    for (std::size_t i = kept; i < dated.size(); ++i)
        if (fileio::unlink((folder / dated[i]).c_str()) == 0)
            ++result.removed;
    return result;
}

std::string historyBackupSummaryUtf8(const HistoryBackupResult &result)
{
    const std::string where = result.latest.string();
    if (!result.ok())
        return copyFailureMessageUtf8(result.copy, where);
    if (result.unchanged)
        return "La sauvegarde " + where + " est déjà à jour (" +
               counted(result.copy.contacts, "contact", "contacts") + ").";
    std::string text = "Le log est sauvegardé dans " + where + " (" +
                       counted(result.copy.contacts, "contact", "contacts") + ")";
    if (!result.movedTo.empty())
        text += " ; la précédente devient " + result.movedTo.filename().string();
    return text + ".";
}

void recordBackupFailure(const std::filesystem::path &programFolder, const std::string &reasonUtf8)
{
    const std::filesystem::path file = settingsPath(programFolder);
    Settings settings = Settings::load(file);
    // One line, as the settings hold values.
    std::string oneLine = reasonUtf8;
    std::replace_if(
        oneLine.begin(), oneLine.end(), [](char c) { return c == '\n' || c == '\r' || c == '\0'; },
        ' ');
    oneLine.erase(0, oneLine.find_first_not_of(' '));
    oneLine.erase(oneLine.find_last_not_of(' ') + 1);
    if (settings.source() != Settings::Source::Unusable &&
        settings.setValue(kFailureKey, oneLine) && settings.save(file))
        return;
    const int fd = fileio::openFile((programFolder / kFailureMarker).c_str(),
                                    O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

std::optional<std::string> takeBackupFailure(const std::filesystem::path &programFolder)
{
    std::optional<std::string> reason;
    const std::filesystem::path file = settingsPath(programFolder);
    Settings settings = Settings::load(file);
    if (std::optional<std::string> kept = settings.value(kFailureKey)) {
        reason = kept->empty() ? std::string("raison inconnue") : *kept;
        settings.remove(kFailureKey);
        settings.save(file);
    }
    const std::filesystem::path marker = programFolder / kFailureMarker;
    std::error_code ec;
    if (std::filesystem::exists(marker, ec)) {
        if (!reason)
            reason = "raison inconnue (le disque était peut-être plein)";
        fileio::unlink(marker.c_str());
    }
    return reason;
}

} // namespace ondelog

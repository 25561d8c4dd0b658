#pragma once
// Export of a log to an ADIF file and import of an ADIF file into the log.
// Both stream: one record of the log and one of the ADIF file in memory at a
// time (plus, for the import, one 64-bit key per contact of the log to find
// those already there). Both write through SafeFileWriter, so a failure, a
// cancellation or a kill at any moment leaves the target as it was: the
// export never leaves a half-written file under the chosen name, and the log
// is either unchanged or holds every imported contact and one end marker.

#include "interchange/adifmapping.h"
#include "logbook/logfile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <string>

namespace ondelog {

/** Called with the work done and the work in all: for an export every few
 *  hundred records, for an import before each block of 64 KiB of the file is
 *  read (bytes), so that it is called often whatever the file holds. Returning
 *  false cancels: the target is left as it was. Called in the thread that runs
 *  the transfer. */
using TransferProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

/** ADX for a name ending in ".adx" (any letter case), ADI otherwise. */
AdifFormat adifFormatForPath(const std::filesystem::path &path);

/** The reader of that format over `in`. */
inline std::unique_ptr<AdifReader> makeAdifReader(AdifFormat format, std::istream &in)
{
    if (format == AdifFormat::Adx)
        return std::make_unique<AdxReader>(in);
    return std::make_unique<AdiReader>(in);
}

struct ExportOptions
{
    std::string stationCall;      ///< STATION_CALLSIGN (Windows-1252)
    std::string createdTimestamp; ///< "YYYYMMDD HHMMSS", UTC
    TransferProgress progress;
};

struct ExportResult
{
    LogStatus status = LogStatus::Ok; ///< of reading the log or writing the file
    bool cancelled = false;
    std::int64_t exported = 0;
};

/** Writes the contacts of the log at `logPath` (read only) to `target`. A target
 *  that is the log itself is refused (AccessDenied), nothing written. */
ExportResult exportAdif(const std::filesystem::path &logPath, const std::filesystem::path &target,
                        AdifFormat format, const ExportOptions &options);

struct ImportOptions
{
    std::string stationLocator; ///< MLOC of contacts without MY_GRIDSQUARE, and of the end marker
    TransferProgress progress;
};

struct ImportResult
{
    LogStatus status = LogStatus::Ok; ///< of reading either file or writing the log
    bool cancelled = false;
    std::int64_t imported = 0;
    std::int64_t alreadyInLog = 0; ///< same call sign, date and start time (or twice in the file)
    std::int64_t noCallSign = 0;
    std::int64_t dateNotWritable = 0;
    std::int64_t damaged = 0;
    std::int64_t truncatedFields = 0; ///< texts of imported contacts cut to their field
};

/** Appends the contacts of `source` (ADI or ADX by its name) after the contacts
 *  of the log at `logPath`. The log is rewritten whole and renamed over the old
 *  one only when at least one contact is imported: whoever holds the log open
 *  must open it again afterwards. */
ImportResult importAdif(const std::filesystem::path &logPath, const std::filesystem::path &source,
                        const ImportOptions &options);

/** The French summary of an export, for a message box (UTF-8). */
std::string exportSummaryUtf8(const ExportResult &result, const std::string &fileNameUtf8);
/** The French summary of an import: contacts imported, contacts skipped with
 *  the count for each reason, texts cut (UTF-8). */
std::string importSummaryUtf8(const ImportResult &result);

} // namespace ondelog

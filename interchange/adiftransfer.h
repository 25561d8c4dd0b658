// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Export of a log to an ADIF file and import of an ADIF file into the log.
// Both stream: one record of the log and one of the ADIF file in memory at a
// time (plus, for the import, a ContactIndex of the log to find the contacts
// already there, and their QSL-received fields). Both write through
// SafeFileWriter, so a failure, a cancellation or a kill at any moment leaves
// the target as it was: the export never leaves a half-written file under the
// chosen name, and the log is either unchanged or holds every imported contact
// and confirmation, and one end marker.

#include "interchange/adifmapping.h"
#include "logbook/logfile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <vector>

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

/** A confirmation the file brings for a contact whose QSL-received field
 *  already holds something else (Windows-1252 texts). */
struct DifferingConfirmation
{
    std::string callSign;
    std::string date; ///< dd/mm/yy
    std::string time; ///< hh:mm
    std::string inLog;
    std::string inFile;
};

struct ImportResult
{
    LogStatus status = LogStatus::Ok; ///< of reading either file or writing the log
    bool cancelled = false;
    std::int64_t imported = 0;  ///< contacts added to the log
    std::int64_t confirmed = 0; ///< contacts of the log whose QSL is now received
    /** The same contact (isSameContact()) is in the log or earlier in the file,
     *  and the file brings nothing new to it. */
    std::int64_t alreadyInLog = 0;
    std::int64_t differingConfirmations = 0;
    /** The first kListedDifferences of them, in the order of the file. */
    std::vector<DifferingConfirmation> differing;
    std::int64_t noCallSign = 0;
    std::int64_t dateNotWritable = 0;
    std::int64_t damaged = 0;
    std::int64_t truncatedFields = 0; ///< texts of added contacts cut or folded

    static constexpr std::size_t kListedDifferences = 20;

    /** True when the log at its path may be a new file, which whoever holds
     *  it open must open again (harmless when a failure left it as it was). */
    bool changedLog() const { return !cancelled && imported + confirmed > 0; }
};

/** Appends the contacts of `source` (ADI or ADX by its name) after the contacts
 *  of the log at `logPath`, and brings the confirmations the file holds (a
 *  LoTW, eQSL or Club Log report) into the contacts already in the log: a
 *  record that is the same contact as one of the log (isSameContact()) and
 *  says the QSL was received fills that contact's empty SQSL with its date;
 *  an SQSL that holds something is never changed, and one that holds another
 *  date is counted and listed. The log is rewritten whole and renamed over the
 *  old one only when something changes (changedLog()). */
ImportResult importAdif(const std::filesystem::path &logPath, const std::filesystem::path &source,
                        const ImportOptions &options);

/** The same into the open `log`, which then serves the new file. A log opened
 *  for reading only (another station's, a copy) is refused: ReadOnly, nothing read. */
ImportResult importAdif(LogFile &log, const std::filesystem::path &source,
                        const ImportOptions &options);

/** The French summary of an export, for a message box (UTF-8). */
std::string exportSummaryUtf8(const ExportResult &result, const std::string &fileNameUtf8);
/** The French summary of an import: contacts added, confirmed, confirmations
 *  that differ from the log, contacts skipped with the count for each reason,
 *  texts cut or folded (UTF-8). */
std::string importSummaryUtf8(const ImportResult &result);

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration file "RozOvo.cfg" in the program folder: one line, three
// items in double quotes separated by commas, ended by CR LF — the call sign,
// the log file name and the station locator. Always written whole.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

inline constexpr const char *kConfigFileName = "RozOvo.cfg";
inline constexpr const char *kLogFileExtension = ".Ham";

/** The three items (Windows-1252). */
struct Configuration
{
    std::string callSign;       ///< trimmed, upper case
    std::string logFileName;    ///< "F6ABC.Ham"
    std::string stationLocator; ///< 6 characters, a valid locator

    bool operator==(const Configuration &) const = default;
};

enum class ConfigStatus
{
    Ok,
    Missing,    ///< no such file: a first run
    Damaged,    ///< not three items, an invalid locator, an unusable log file name
    ReadFailed, ///< the file exists but cannot be read
};

struct ConfigReadResult
{
    ConfigStatus status = ConfigStatus::Missing;
    Configuration config; ///< meaningful only when status is Ok
};

/** The configuration file of the program folder, whatever the letter case of its
 *  name ("rozovo.cfg", "ROZOVO.CFG"...), or nothing. */
std::optional<std::filesystem::path>
findConfigurationFile(const std::filesystem::path &programFolder);

/** True for a name the configuration may hold as its log file: a plain file
 *  name (no "/", "\", ":", "..", control or other characters a file name cannot
 *  hold) with something before its ".Ham" ending (letter case ignored), so it can
 *  never lead out of the program folder. */
bool isPlainLogFileName(std::string_view name);

/** Ok when the three items can be written and read back: a call sign that is not
 *  empty and holds no quote or control byte, a plain log file name, a valid
 *  locator. Damaged otherwise. */
ConfigStatus checkConfiguration(const Configuration &config);

/** Reads and checks a configuration file. Never throws, whatever the bytes: fewer
 *  or more than three quoted items, an empty call sign, an unusable log file name
 *  or an invalid locator is Damaged. Blanks around items and a missing final
 *  CR LF are tolerated; the locator is fitted to its 6-character field. */
ConfigReadResult readConfiguration(const std::filesystem::path &file);

/** Writes the whole file: `"CALL","CALL.Ham","JN18EU"` and CR LF, through a
 *  temporary file renamed over it, so a failure leaves the previous file as it
 *  was. False when it could not be written, or when checkConfiguration() refuses
 *  the items (nothing is written then). */
bool writeConfiguration(const std::filesystem::path &file, const Configuration &config);

/** The log file name of a call sign: its first 8 characters (after trimming),
 *  characters a file name cannot hold ("/", "\", ":", "*", "?", '"', "<", ">",
 *  "|", control bytes) and dots replaced by "_", then ".Ham". */
std::string logFileNameFor(std::string_view callSign);

/** A configuration for a call sign and locator (call sign trimmed and upper-cased). */
Configuration makeConfiguration(std::string_view callSign, std::string_view stationLocator);

} // namespace ondelog

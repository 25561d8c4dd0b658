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

/** Reads and checks a configuration file. Never throws, whatever the bytes. */
ConfigReadResult readConfiguration(const std::filesystem::path &file);

/** Writes the whole file (created or truncated). False when it could not be written. */
bool writeConfiguration(const std::filesystem::path &file, const Configuration &config);

/** The log file name of a call sign: its first 8 characters, characters a file name
 *  cannot hold ("/", "\", ":", "*", "?", '"', "<", ">", "|") replaced by "_", then ".Ham". */
std::string logFileNameFor(std::string_view callSign);

/** A configuration for a call sign and locator (call sign trimmed and upper-cased). */
Configuration makeConfiguration(std::string_view callSign, std::string_view stationLocator);

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/config.h"

#include "geo/locator.h"
#include "logbook/regularfile.h"
#include "logbook/safefile.h"
#include "text/text.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

namespace ondelog {

namespace {

// A configuration is one short line; anything much longer is not one, and
// reading it whole would only let a stray huge file eat memory.
constexpr std::uintmax_t kMaxConfigBytes = 4096;

constexpr std::size_t kCallSignChars = 8;

bool isForbiddenInFileName(unsigned char c)
{
    switch (c) {
    case '/':
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
        return true;
    default:
        return c < 0x20 || c == 0x7F;
    }
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           equalsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// A quote would end the item early on the next read, a line break would split
// the one line; other control bytes have no business in a window caption.
bool hasUnwritableByte(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '"' || byte < 0x20 || byte == 0x7F;
    });
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits `"a","b","c"` into its quoted items. Blanks around items and line
// ends after the last one are tolerated; anything unquoted is not an item, so
// a file that is not ours reads as damaged rather than as a half-guessed one.
std::optional<std::vector<std::string>> splitQuotedItems(std::string_view line)
{
    std::vector<std::string> items;
    std::size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
    };
    for (;;) {
        skipBlanks();
        if (pos >= line.size() || line[pos] != '"')
            return std::nullopt;
        const std::size_t close = line.find('"', pos + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        items.emplace_back(line.substr(pos + 1, close - pos - 1));
        pos = close + 1;
        skipBlanks();
        if (pos >= line.size())
            return items;
        if (line[pos] != ',')
            return std::nullopt;
        ++pos;
    }
}

} // namespace

std::optional<std::filesystem::path>
findConfigurationFile(const std::filesystem::path &programFolder)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(programFolder, ec);
    if (ec)
        return std::nullopt;

    // Two names differing only by case can live side by side here; the one
    // spelled as we write it wins, else the first in name order, so every start
    // picks the same file.
    std::vector<std::filesystem::path> matches;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const std::filesystem::path &candidate = it->path();
        if (!equalsIgnoringAsciiCase(candidate.filename().string(), kConfigFileName))
            continue;
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            matches.push_back(candidate);
    }
    if (matches.empty())
        return std::nullopt;
    for (const auto &match : matches) {
        if (match.filename() == kConfigFileName)
            return match;
    }
    return *std::min_element(matches.begin(), matches.end());
}

bool isPlainLogFileName(std::string_view name)
{
    const std::string_view extension = kLogFileExtension;
    if (!endsWithIgnoringAsciiCase(name, extension) || name.size() == extension.size())
        return false;
    if (name.find("..") != std::string_view::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return isForbiddenInFileName(static_cast<unsigned char>(c));
    });
}

ConfigStatus checkConfiguration(const Configuration &config)
{
    if (trim(config.callSign).empty() || hasUnwritableByte(config.callSign))
        return ConfigStatus::Damaged;
    if (!isPlainLogFileName(config.logFileName))
        return ConfigStatus::Damaged;
    if (!isLocatorValid(config.stationLocator))
        return ConfigStatus::Damaged;
    return ConfigStatus::Ok;
}

ConfigReadResult readConfiguration(const std::filesystem::path &file)
{
    ConfigReadResult result;
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        result.status = ConfigStatus::Missing;
        return result;
    }
    if (ec || !std::filesystem::is_regular_file(status)) {
        result.status = ConfigStatus::ReadFailed;
        return result;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        result.status = ConfigStatus::ReadFailed;
        return result;
    }
    if (size > kMaxConfigBytes) {
        result.status = ConfigStatus::Damaged;
        return result;
    }

    // Checked again as it opens: a pipe put there since would block the start.
    RegularFileStream in(file);
    if (!in) {
        result.status = ConfigStatus::ReadFailed;
        return result;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        result.status = ConfigStatus::ReadFailed;
        return result;
    }

    // Only the first line counts, as the program has always read it; trailing
    // empty lines left by a text editor are harmless.
    std::string_view line = bytes;
    const std::size_t lineEnd = line.find_first_of("\r\n");
    if (lineEnd != std::string_view::npos) {
        const std::string_view rest = line.substr(lineEnd);
        if (rest.find_first_not_of(" \t\r\n") != std::string_view::npos) {
            result.status = ConfigStatus::Damaged;
            return result;
        }
        line = line.substr(0, lineEnd);
    }

    const auto items = splitQuotedItems(line);
    if (!items || items->size() != 3) {
        result.status = ConfigStatus::Damaged;
        return result;
    }

    Configuration config;
    config.callSign = toUpperCp1252(trim((*items)[0]));
    config.logFileName = trim((*items)[1]);
    config.stationLocator = fixedWidth(trim((*items)[2]), 6);
    result.status = checkConfiguration(config);
    if (result.status == ConfigStatus::Ok)
        result.config = std::move(config);
    return result;
}

bool writeConfiguration(const std::filesystem::path &file, const Configuration &config)
{
    // Never write what the next start would refuse to read.
    if (checkConfiguration(config) != ConfigStatus::Ok)
        return false;

    const std::string text = "\"" + config.callSign + "\",\"" + config.logFileName + "\",\"" +
                             config.stationLocator + "\"\r\n";

    // Written beside the target, synced and renamed over it, so a full disk or
    // a crash leaves either the old configuration or the new one, never half of
    // one, and never an empty file where the log's name used to be.
    SafeFileWriter writer(file);
    return writer.open() == LogStatus::Ok &&
           writer.write(text.data(), text.size()) == LogStatus::Ok &&
           writer.commit() == LogStatus::Ok;
}

std::string logFileNameFor(std::string_view callSign)
{
    std::string base = trim(callSign).substr(0, kCallSignChars);
    for (char &c : base) {
        // A dot would let the name read as ".." or as a hidden file; call signs
        // never hold one, so it goes the same way as the other unusable characters.
        if (isForbiddenInFileName(static_cast<unsigned char>(c)) || c == '.')
            c = '_';
    }
    return base + kLogFileExtension;
}

Configuration makeConfiguration(std::string_view callSign, std::string_view stationLocator)
{
    Configuration config;
    config.callSign = toUpperCp1252(trim(callSign));
    config.logFileName = logFileNameFor(config.callSign);
    config.stationLocator = fixedWidth(stationLocator, 6);
    return config;
}

} // namespace ondelog

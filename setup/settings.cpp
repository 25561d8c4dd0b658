// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/settings.h"

#include "logbook/safefile.h"
#include "text/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <system_error>

namespace ondelog {

namespace {

// Settings are a few dozen short lines. A file far bigger is something else
// under that name, and reading it whole would only let it eat memory.
constexpr std::uintmax_t kMaxSettingsBytes = 256 * 1024;

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool hasLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

std::filesystem::path settingsPath(const std::filesystem::path &programFolder)
{
    return programFolder / kSettingsFileName;
}

Settings Settings::load(const std::filesystem::path &file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec)
        return {};
    Settings unusable;
    unusable.m_source = Source::Unusable;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxSettingsBytes)
        return unusable;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return unusable;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || in.gcount() != static_cast<std::streamsize>(bytes.size()))
        return unusable;
    Settings settings = parse(bytes);
    settings.m_source = Source::File;
    return settings;
}

Settings Settings::parse(std::string_view text)
{
    Settings settings;
    settings.m_source = Source::File;
    if (text.empty())
        return settings;
    settings.m_finalNewline = text.back() == '\n';
    if (settings.m_finalNewline)
        text.remove_suffix(1);

    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        Line line;
        line.raw = std::string(
            text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        std::string_view body = line.raw;
        // A Windows editor adds its line ends, and often a byte order mark.
        if (!body.empty() && body.back() == '\r')
            body.remove_suffix(1);
        if (start == 0 && body.substr(0, kByteOrderMark.size()) == kByteOrderMark)
            body.remove_prefix(kByteOrderMark.size());
        body = trimBlanks(body);
        const std::size_t equals = body.find('=');
        if (!body.empty() && body.front() != '#' && body.front() != ';' &&
            equals != std::string_view::npos) {
            line.key = std::string(trimBlanks(body.substr(0, equals)));
            line.value = std::string(trimBlanks(body.substr(equals + 1)));
        }
        settings.m_lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return settings;
}

std::optional<std::string> Settings::value(std::string_view key) const
{
    const auto found = std::find_if(m_lines.rbegin(), m_lines.rend(),
                                    [key](const Line &line) { return line.key == key; });
    if (found == m_lines.rend() || key.empty())
        return std::nullopt;
    return found->value;
}

bool Settings::boolValue(std::string_view key, bool fallback) const
{
    const std::optional<std::string> text = value(key);
    if (!text)
        return fallback;
    static constexpr std::array<std::string_view, 6> yes = {"OUI",  "1",  "VRAI",
                                                            "TRUE", "ON", "YES"};
    static constexpr std::array<std::string_view, 6> no = {"NON",   "0",   "FAUX",
                                                           "FALSE", "OFF", "NO"};
    // The words are ASCII: upper-casing the other bytes cannot make one match.
    const std::string upper = toUpperCp1252(*text);
    if (std::find(yes.begin(), yes.end(), upper) != yes.end())
        return true;
    if (std::find(no.begin(), no.end(), upper) != no.end())
        return false;
    return fallback;
}

int Settings::intValue(std::string_view key, int fallback, int min, int max) const
{
    const std::optional<std::string> text = value(key);
    if (!text || text->empty())
        return fallback;
    int number = 0;
    const char *end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, number);
    if (error != std::errc() || stop != end || number < min || number > max)
        return fallback;
    return number;
}

bool Settings::setValue(std::string_view key, std::string_view value)
{
    if (key.empty() || key != trimBlanks(key) || key.front() == '#' || key.front() == ';' ||
        key.find('=') != std::string_view::npos || hasLineBreakOrNul(key) ||
        hasLineBreakOrNul(value) || value != trimBlanks(value))
        return false;
    const auto found = std::find_if(m_lines.rbegin(), m_lines.rend(),
                                    [key](const Line &line) { return line.key == key; });
    if (found != m_lines.rend()) {
        // A line written by a Windows editor keeps its ending.
        const bool crlf = !found->raw.empty() && found->raw.back() == '\r';
        found->raw = std::string(key) + "=" + std::string(value) + (crlf ? "\r" : "");
        found->value = std::string(value);
        return true;
    }
    m_lines.push_back(
        {std::string(key) + "=" + std::string(value), std::string(key), std::string(value)});
    m_finalNewline = true;
    return true;
}

bool Settings::setBool(std::string_view key, bool value)
{
    return setValue(key, value ? "oui" : "non");
}

bool Settings::setInt(std::string_view key, int value)
{
    return setValue(key, std::to_string(value));
}

void Settings::remove(std::string_view key)
{
    std::erase_if(m_lines, [key](const Line &line) { return line.key == key; });
}

std::string Settings::text() const
{
    std::string text;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += m_lines[i].raw;
    }
    if (m_finalNewline && !m_lines.empty())
        text += '\n';
    return text;
}

bool Settings::save(const std::filesystem::path &file) const
{
    const std::string bytes = text();
    SafeFileWriter writer(file);
    return writer.open() == LogStatus::Ok &&
           writer.write(bytes.data(), bytes.size()) == LogStatus::Ok &&
           writer.commit() == LogStatus::Ok;
}

} // namespace ondelog

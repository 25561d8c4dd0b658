// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The suite's settings, "Reglages.ini" in the program folder: UTF-8 text, one
// "clé=valeur" a line. Each module owns the keys it reads, with their defaults
// and ranges; the store only keeps lines. A line it does not understand (a
// comment, a key of a newer version, a damaged line) is written back as it was
// read, so that settings survive being saved by an older or another program of
// the suite. Reading never fails: whatever is unusable reads as the default.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

inline constexpr const char *kSettingsFileName = "Reglages.ini";

/** programFolder / "Reglages.ini" */
std::filesystem::path settingsPath(const std::filesystem::path &programFolder);

class Settings
{
  public:
    /** What reading the file found. */
    enum class Source
    {
        Empty,    ///< no file (or nothing loaded yet): every value is its default
        File,     ///< read from the file
        Unusable, ///< the file exists but could not be read, or is far too big to be settings
    };

    /** The settings of `file`; never throws. A missing or unusable file gives
     *  empty settings (Source says which). */
    static Settings load(const std::filesystem::path &file);
    /** The settings held in `text` (the bytes of a file). */
    static Settings parse(std::string_view text);

    Source source() const { return m_source; }

    /** The value of `key` (UTF-8, surrounding blanks removed), the last line's
     *  when a key appears twice; nullopt when absent. */
    std::optional<std::string> value(std::string_view key) const;
    /** "oui"/"non" (also 1/0, true/false, on/off, any letter case); `fallback`
     *  when absent or unreadable. */
    bool boolValue(std::string_view key, bool fallback) const;
    /** A whole number within [min, max]; `fallback` when absent, unreadable or
     *  out of range. */
    int intValue(std::string_view key, int fallback, int min, int max) const;

    /** Sets `key` in place of its line (a new key goes at the end). False, and
     *  nothing changed, for a key that is empty, starts with "#", ";" or blanks,
     *  or holds "=", and for either holding a line break or a NUL byte: those
     *  would not read back as written. */
    bool setValue(std::string_view key, std::string_view value);
    bool setBool(std::string_view key, bool value);
    bool setInt(std::string_view key, int value);
    /** Removes every line of `key`. */
    void remove(std::string_view key);

    /** The file's bytes: the lines as read, those set changed in place. */
    std::string text() const;
    /** Writes text() to `file` through a temporary file renamed over it: a
     *  failure leaves the previous file as it was. */
    bool save(const std::filesystem::path &file) const;

  private:
    struct Line
    {
        std::string raw; ///< the line as read, without its "\n"
        std::string key; ///< empty for a line that is not "clé=valeur"
        std::string value;
    };

    std::vector<Line> m_lines;
    bool m_finalNewline = true;
    Source m_source = Source::Empty;
};

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modes of ADIF 3.1.4 and how the log names them. ADIF files a mode under a
// MODE and, for many, a SUBMODE (FT4 is MFSK/FT4, USB is SSB/USB); the log has
// five characters for it. A name that fits is kept as it is; one that does not
// (MSK144, OLIVIA 8/500, MFSK16) gets a short form of its own, chosen to read
// well in the list and to stand for exactly one MODE/SUBMODE pair, so that an
// import and an export of the same contact agree. The same table serves both
// ways; a few other spellings an operator types (BLU, A1A, or the first five
// letters of a long name as older imports cut it) are understood on export.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ondelog {

/** ADIF MODE and SUBMODE ("" when ADIF files the mode on its own). */
struct AdifMode
{
    std::string mode;
    std::string submode;
    bool operator==(const AdifMode &) const = default;
};

/** A mode as the log writes it and the ADIF pair it stands for. */
struct ModeForm
{
    std::string_view log; ///< five characters at most, upper case
    std::string_view mode;
    std::string_view submode;
};

/** Every mode and submode of ADIF 3.1.4 the log names, with the form it takes
 *  in the log: the ADIF name when it fits in five characters ("FT8", "USB",
 *  "PSK31"), else a short form ("MSK" for MSK144, "OL8/5" for OLIVIA 8/500,
 *  "MF16" for MFSK16). No two forms are alike, and none is the ADIF name of
 *  another pair. Submodes of PSK too rare to earn a form (PSK63RC10,
 *  8PSK125FL...) are not in it: their contacts keep the mode, PSK. */
std::span<const ModeForm> modeForms();

/** Other spellings of modes an operator may have typed, read on export only:
 *  French (BLU -> SSB, BLS -> SSB/USB, BLI -> SSB/LSB), emission classes (A1A,
 *  J3E, F3E...), older names (AMTOR, PACKET) and the five first letters of
 *  long names as the entry field and older imports cut them (MSK14, OLIVI). */
std::span<const ModeForm> modeSpellings();

/** ADIF MODE and SUBMODE of a mode as the log holds it, in any letter case:
 *  "USB" -> {"SSB", "USB"}, "MSK" -> {"MSK144", ""}, "BLU" -> {"SSB", ""}.
 *  Nothing when ADIF has no such mode. */
std::optional<AdifMode> adifMode(std::string_view logMode);

struct LogModeText
{
    std::string text;       ///< five characters at most
    bool shortened = false; ///< something of the ADIF names could not be kept
};

/** The log's form of the MODE and SUBMODE of an ADIF record, in any letter
 *  case. The SUBMODE counts when it has one, else the MODE; a submode given
 *  as MODE, as older files write it ("PSK31", "USB"), is understood. A name
 *  the table does not know is kept when it fits; a longer one gives way to
 *  its MODE, or is cut, and is then `shortened`. */
LogModeText logModeFromAdif(std::string_view mode, std::string_view submode);

} // namespace ondelog

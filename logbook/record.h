// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One contact (QSO) as stored in the log: 165 bytes of sixteen fixed-width
// Windows-1252 text fields, no separators, no terminator.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace ondelog {

/** Field numbers 1..16, in record order. */
enum class Field : int
{
    CSGN = 1, ///< call sign of the other station, 15 bytes at offset 0
    DQSO,     ///< date dd/mm/yy, 8 at 15
    HDEB,     ///< start time hh:mm, 5 at 23
    HFIN,     ///< end time hh:mm, 5 at 28
    FREQ,     ///< frequency in MHz as typed, 10 at 33
    MODE,     ///< mode, 5 at 43
    SRST,     ///< report given, 8 at 48
    MRST,     ///< report received, 8 at 56
    SQTH,     ///< the other station's QTH, 25 at 64
    SLOC,     ///< the other station's locator, 6 at 89
    DEPT,     ///< département code, 3 at 95
    SNOM,     ///< first name, 15 at 98
    INFO,     ///< remarks (bytes 1-15) then QSL manager (bytes 16-30), 30 at 113
    MQSL,     ///< state of the station's own QSL card, 8 at 143
    SQSL,     ///< state of the other station's QSL card, 8 at 151
    MLOC,     ///< the station's own locator at the time, 6 at 159
};

inline constexpr int kFieldCount = 16;
inline constexpr std::size_t kRecordSize = 165;
/** Width of each half of INFO (remarks, manager) and of their entry fields. */
inline constexpr std::size_t kInfoPartWidth = 15;

struct FieldLayout
{
    const char *code; ///< "CSGN" ...
    std::size_t width;
    std::size_t offset;
};

/** Layout of field i (1..16). */
const FieldLayout &fieldLayout(int field);
inline const FieldLayout &fieldLayout(Field f)
{
    return fieldLayout(static_cast<int>(f));
}

/** The raw 165 bytes of one record. */
class QsoRecord
{
  public:
    /** A blank record: 165 spaces. */
    QsoRecord();

    /** Field i exactly as stored, with its padding. */
    std::string rawField(int field) const;
    /** Field i trimmed, as every reader uses it. */
    std::string field(int field) const;
    std::string field(Field f) const { return field(static_cast<int>(f)); }
    /** Stores `value` in field i, padded with blanks or cut to the field's width. */
    void setField(int field, std::string_view value);
    void setField(Field f, std::string_view value) { setField(static_cast<int>(f), value); }

    /** The one cleaning step of every record whose texts come from outside the
     *  log (an ADIF file, another log, a program that sends its contacts): each
     *  control byte (isControlByte) becomes a blank, so that nothing stored from
     *  outside makes the log read as damaged. Returns how many bytes changed. */
    int blankControlCharacters();

    /** True when the trimmed call sign is "\": the record that ends the log. */
    bool isEndMarker() const;

    /** The end marker: CSGN "\", MLOC the station locator, the rest blank. */
    static QsoRecord endMarker(std::string_view stationLocator);

    const std::array<char, kRecordSize> &bytes() const { return m_bytes; }
    std::array<char, kRecordSize> &bytes() { return m_bytes; }

    bool operator==(const QsoRecord &) const = default;

  private:
    std::array<char, kRecordSize> m_bytes;
};

/** The 18 texts through which the windows read and write one record:
 *  [i] for i = 1..12 and 14..16 is field i; [13] the remarks, [17] the QSL
 *  manager, [0] the whole 30-byte INFO (remarks padded to 15, then manager). */
using FieldTexts = std::array<std::string, 18>;

/** All 18 texts of a record, each trimmed; [0] is INFO untrimmed. */
FieldTexts fieldTextsFromRecord(const QsoRecord &record);

/** The record written from texts [1..12], [0], [14..16], each cut or padded. */
QsoRecord recordFromFieldTexts(const FieldTexts &texts);

/** INFO rebuilt from its two halves: remarks padded to 15, then manager padded to 15. */
std::string buildInfo(std::string_view remarks, std::string_view manager);

/** False for a call sign that would read as the end of the log (it begins,
 *  once trimmed, with "\"). An empty call sign is not refused here. */
bool isCallSignStorable(std::string_view callSign);

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading ADIF, the interchange format of amateur radio loggers, in its two
// forms: ADI (tagged text, `<CALL:5>F6ABC`) and ADX (XML). Both readers stream:
// they hold one record and a read-ahead of at most a few MiB, never the whole
// file, and whatever the bytes they never read outside their buffer. A record
// they cannot trust is reported as damaged and reading goes on with the next
// one. Their time is linear in the file's size whatever it holds: a damaged
// region is passed over once, never searched again from each of its tags.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

/** One field as the file holds it: the name in upper case, the value's bytes
 *  untouched (UTF-8, Windows-1252 or ASCII: see textFromAdif()). Application
 *  fields of ADX keep the ADI name, APP_<PROGRAMID>_<FIELDNAME>. */
struct AdifField
{
    std::string name;
    std::string value;
};

struct AdifRecord
{
    std::vector<AdifField> fields;

    /** The value of the first field of that (upper-case) name, or nullptr. */
    const std::string *find(std::string_view upperName) const;
};

enum class AdifReadResult
{
    Record,  ///< a whole record was read
    Damaged, ///< a record was skipped: bad length, no end, garbage, bad XML
    End,     ///< nothing more in the file
};

class AdifReader
{
  public:
    virtual ~AdifReader() = default;
    /** The next record, skipping the header. After End it keeps returning End. */
    virtual AdifReadResult next(AdifRecord &record) = 0;
    /** Bytes of the file consumed so far, for a progress bar: never more than
     *  the file holds. */
    virtual std::uint64_t bytesRead() const = 0;
    /** Bytes the reader has looked at so far, counted again each time it looks
     *  again: the work it did. Whatever the file holds, a bounded multiple of
     *  its size. */
    virtual std::uint64_t bytesExamined() const = 0;
};

/** No record, field or value of any logger comes near this; a bigger one is
 *  damaged, and refusing it keeps a file from filling the memory. */
inline constexpr std::size_t kMaxAdifRecordBytes = 1u << 20;

namespace detail {
class InputWindow;
}

/** Tolerant ADI: tags in any letter case, fields in any order, a header or none,
 *  text and line breaks between fields, type indicators (`<NAME:5:S>`), tags
 *  without a length ignored. A value whose length was counted in UTF-8
 *  characters rather than bytes is still cut right. A value holding `<EOR>`
 *  is text when a blank or the end of the file follows it, as after every
 *  value our export writes. A record is damaged when a length runs past the
 *  end of the file, or over an `<EOR>` up to something else than a blank,
 *  when a length is not a number, when control bytes stand in it, when it
 *  holds more than kMaxAdifRecordBytes, or when the file ends before its
 *  `<EOR>`. */
class AdiReader : public AdifReader
{
  public:
    explicit AdiReader(std::istream &in);
    ~AdiReader() override;
    AdifReadResult next(AdifRecord &record) override;
    std::uint64_t bytesRead() const override { return m_pos; }
    std::uint64_t bytesExamined() const override;

  private:
    std::size_t valueLength(std::uint64_t start, std::size_t byteLength);
    bool endsCleanly(std::uint64_t end);
    bool endsWithBlank(std::uint64_t end);
    bool isEorAt(std::uint64_t at);
    std::uint64_t findEor(std::uint64_t from, std::uint64_t limit);
    std::uint64_t findHighByte(std::uint64_t from, std::uint64_t limit);

    std::unique_ptr<detail::InputWindow> m_input;
    std::uint64_t m_pos = 0; // offset in the file of the next byte to read
    // The searches for "<EOR>" and for bytes beyond ASCII only ever move
    // forward: what they found, and how far they looked, serve every later
    // value, so that no byte is searched twice however the lengths overlap.
    static constexpr std::uint64_t kNotFound = ~std::uint64_t{0};
    std::uint64_t m_eorFound = kNotFound;
    std::uint64_t m_eorSearched = 0;
    std::uint64_t m_highFound = kNotFound;
    std::uint64_t m_highSearched = 0;
};

/** ADX: each `<RECORD>` element is cut from the stream and parsed on its own,
 *  so memory holds one record. Header, comments and anything outside the
 *  records are skipped. `<APP PROGRAMID="X" FIELDNAME="Y">` becomes APP_X_Y;
 *  `<USERDEF FIELDNAME="Y">` becomes USERDEF_Y. A record that another opens
 *  inside, that has no end or that is longer than kMaxAdifRecordBytes is
 *  damaged. */
class AdxReader : public AdifReader
{
  public:
    explicit AdxReader(std::istream &in);
    ~AdxReader() override;
    AdifReadResult next(AdifRecord &record) override;
    std::uint64_t bytesRead() const override { return m_pos; }
    std::uint64_t bytesExamined() const override;

  private:
    bool isRecordStart(std::uint64_t at);
    bool isRecordEnd(std::uint64_t at);
    std::uint64_t findRecordStart(std::uint64_t from);

    std::unique_ptr<detail::InputWindow> m_input;
    std::uint64_t m_pos = 0;
};

/** A field value as Windows-1252 text: read as UTF-8 when it is valid UTF-8
 *  (plain ASCII included), else taken as Windows-1252 bytes already. Tabs and
 *  line breaks become spaces, since a log field is one line. */
std::string textFromAdif(std::string_view value);

/** True when the bytes are well-formed UTF-8 (no overlong forms or surrogates). */
bool isValidUtf8(std::string_view bytes);

} // namespace ondelog

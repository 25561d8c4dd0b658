#pragma once
// Reading ADIF, the interchange format of amateur radio loggers, in its two
// forms: ADI (tagged text, `<CALL:5>F6ABC`) and ADX (XML). Both readers stream:
// they hold one record and a small read-ahead, never the whole file, and
// whatever the bytes they never read outside their buffer. A record they cannot
// trust is reported as damaged and reading goes on with the next one.

#include <cstdint>
#include <istream>
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
    /** Bytes of the file consumed so far, for a progress bar. */
    virtual std::uint64_t bytesRead() const = 0;
};

/** Tolerant ADI: tags in any letter case, fields in any order, a header or none,
 *  text and line breaks between fields, type indicators (`<NAME:5:S>`), tags
 *  without a length ignored. A value whose length was counted in UTF-8
 *  characters rather than bytes is still cut right. A record is damaged when a
 *  length runs past the end of the file or over the next `<EOR>`, when a length
 *  is not a number, when control bytes stand in it, or when the file ends
 *  before its `<EOR>`. */
class AdiReader : public AdifReader
{
  public:
    explicit AdiReader(std::istream &in);
    AdifReadResult next(AdifRecord &record) override;
    std::uint64_t bytesRead() const override { return m_consumed + m_pos; }

  private:
    bool fill(std::size_t n);
    std::size_t valueLength(std::size_t byteLength);

    std::istream &m_in;
    std::string m_buffer;
    std::size_t m_pos = 0;
    std::uint64_t m_consumed = 0; // bytes dropped from the front of the buffer
    bool m_eof = false;
};

/** ADX: each `<RECORD>` element is cut from the stream and parsed on its own,
 *  so memory holds one record. Header, comments and anything outside the
 *  records are skipped. `<APP PROGRAMID="X" FIELDNAME="Y">` becomes APP_X_Y;
 *  `<USERDEF FIELDNAME="Y">` becomes USERDEF_Y. */
class AdxReader : public AdifReader
{
  public:
    explicit AdxReader(std::istream &in);
    AdifReadResult next(AdifRecord &record) override;
    std::uint64_t bytesRead() const override { return m_consumed + m_pos; }

  private:
    bool readMore();
    std::size_t findRecordStart(std::size_t from) const;

    std::istream &m_in;
    std::string m_buffer;
    std::size_t m_pos = 0;
    std::uint64_t m_consumed = 0;
    bool m_eof = false;
};

/** A field value as Windows-1252 text: read as UTF-8 when it is valid UTF-8
 *  (plain ASCII included), else taken as Windows-1252 bytes already. Tabs and
 *  line breaks become spaces, since a log field is one line. */
std::string textFromAdif(std::string_view value);

/** True when the bytes are well-formed UTF-8 (no overlong forms or surrogates). */
bool isValidUtf8(std::string_view bytes);

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#include "interchange/adifreader.h"

#include "text/text.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace ondelog {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// A tag longer than this is no tag: a stray "<" in a comment.
constexpr std::size_t kMaxTagLength = 256;
constexpr std::uint64_t kNone = ~std::uint64_t{0};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Bytes no text file holds. Ctrl-Z is left alone: old DOS programs end their
// files with it.
bool isGarbage(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && !isBlank(c) && u != 0x1A) || u == 0x7F;
}

bool hasGarbage(std::string_view value)
{
    return std::any_of(value.begin(), value.end(), isGarbage);
}

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isNameChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u < 0x7F && c != '<' && c != '>' && c != ':' && c != ',' && c != '{' &&
           c != '}';
}

// Length in bytes of the UTF-8 sequence that starts with `lead`, 0 when it
// cannot start one.
int utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Length of the well-formed UTF-8 sequence at the start of `bytes`, 0 if none.
std::size_t utf8SequenceAt(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const int n = utf8SequenceLength(lead);
    if (n == 0 || bytes.size() < static_cast<std::size_t>(n))
        return 0;
    for (int k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(bytes[k]) & 0xC0) != 0x80)
            return 0;
    const auto second = static_cast<unsigned char>(bytes.size() > 1 ? bytes[1] : 0);
    if (lead == 0xE0 && second < 0xA0)
        return 0; // overlong
    if (lead == 0xED && second >= 0xA0)
        return 0; // surrogate
    if (lead == 0xF0 && second < 0x90)
        return 0; // overlong
    if (lead == 0xF4 && second >= 0x90)
        return 0; // beyond U+10FFFF
    return static_cast<std::size_t>(n);
}

} // namespace

namespace detail {

// The read-ahead both readers share: the file's bytes from the reader's mark
// on, addressed by their offset in the file. What lies before the mark is
// dropped once it is a chunk or more and half the buffer, so that each byte is
// read once and moved a bounded number of times, and the buffer stays within
// about twice the longest look-ahead.
class InputWindow
{
  public:
    explicit InputWindow(std::istream &in) : m_in(in) {}

    /** True when the file holds at least `size` bytes, reading on as needed. */
    bool holds(std::uint64_t size)
    {
        while (end() < size)
            if (!readMore())
                return false;
        return true;
    }
    /** Offset just past the last byte read so far. */
    std::uint64_t end() const { return m_base + m_buffer.size(); }
    /** The byte at `at`: held, and not before the mark. */
    char at(std::uint64_t at)
    {
        ++m_examined;
        return m_buffer[static_cast<std::size_t>(at - m_base)];
    }
    /** `size` held bytes from `at`, valid until the next holds(). */
    std::string_view view(std::uint64_t at, std::size_t size)
    {
        m_examined += size;
        return {m_buffer.data() + (at - m_base), size};
    }
    /** Offset of the first `c` in [from, limit), all held; `limit` when none. */
    std::uint64_t find(char c, std::uint64_t from, std::uint64_t limit)
    {
        if (from >= limit)
            return limit;
        const char *begin = m_buffer.data() + (from - m_base);
        const auto *hit = static_cast<const char *>(
            std::memchr(begin, c, static_cast<std::size_t>(limit - from)));
        const std::uint64_t found = hit ? from + static_cast<std::uint64_t>(hit - begin) : limit;
        m_examined += found - from + (hit ? 1 : 0);
        return found;
    }
    /** Offset of the first `word` wholly in [from, limit), all held; `limit`
     *  when none. */
    std::uint64_t findWord(std::string_view word, std::uint64_t from, std::uint64_t limit)
    {
        const std::string_view bytes(m_buffer.data() + (from - m_base),
                                     static_cast<std::size_t>(limit - from));
        const std::size_t hit = bytes.find(word);
        const std::uint64_t found = hit == std::string_view::npos ? limit : from + hit;
        m_examined += found - from + (hit == std::string_view::npos ? 0 : word.size());
        return found;
    }
    /** Offset of the first byte in [from, limit), all held, for which `wanted`
     *  is true; `limit` when none. */
    template <typename Wanted>
    std::uint64_t findIf(std::uint64_t from, std::uint64_t limit, Wanted wanted)
    {
        const char *begin = m_buffer.data() + (from - m_base);
        const char *end = begin + (limit - from);
        const char *hit = std::find_if(begin, end, wanted);
        m_examined += static_cast<std::uint64_t>(hit - begin) + (hit != end ? 1 : 0);
        return from + static_cast<std::uint64_t>(hit - begin);
    }
    /** True when the bytes at `at` spell `word`, in upper case as written
     *  or in any case when `anyCase`; reads on as needed. */
    bool spells(std::uint64_t at, std::string_view word, bool anyCase = false)
    {
        if (!holds(at + word.size()))
            return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            char c = this->at(at + i);
            if (anyCase && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            if (c != word[i])
                return false;
        }
        return true;
    }
    /** The bytes before `at` are no longer needed. */
    void setMark(std::uint64_t at) { m_mark = std::max(m_mark, at); }
    std::uint64_t examined() const { return m_examined; }

  private:
    bool readMore()
    {
        if (m_eof)
            return false;
        const auto dead = static_cast<std::size_t>(std::min(m_mark, end()) - m_base);
        if (dead >= kChunk && dead >= m_buffer.size() / 2) {
            m_buffer.erase(0, dead);
            m_base += dead;
        }
        const std::size_t old = m_buffer.size();
        m_buffer.resize(old + kChunk);
        m_in.read(m_buffer.data() + old, static_cast<std::streamsize>(kChunk));
        const auto got = static_cast<std::size_t>(std::max<std::streamsize>(m_in.gcount(), 0));
        m_buffer.resize(old + got);
        if (got < kChunk)
            m_eof = true;
        return got > 0;
    }

    std::istream &m_in;
    std::string m_buffer;
    std::uint64_t m_base = 0; // offset in the file of m_buffer[0]
    std::uint64_t m_mark = 0;
    std::uint64_t m_examined = 0;
    bool m_eof = false;
};

} // namespace detail

using detail::InputWindow;

const std::string *AdifRecord::find(std::string_view upperName) const
{
    for (const AdifField &f : fields)
        if (f.name == upperName)
            return &f.value;
    return nullptr;
}

bool isValidUtf8(std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t n = utf8SequenceAt(bytes);
        if (n == 0)
            return false;
        bytes.remove_prefix(n);
    }
    return true;
}

std::string textFromAdif(std::string_view value)
{
    if (std::all_of(value.begin(), value.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x80;
        }))
        return std::string(value);
    std::string text = isValidUtf8(value) ? utf8ToCp1252(value) : std::string(value);
    for (char &c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// --- ADI ----------------------------------------------------------------------

AdiReader::AdiReader(std::istream &in) : m_input(std::make_unique<InputWindow>(in)) {}

AdiReader::~AdiReader() = default;

std::uint64_t AdiReader::bytesExamined() const
{
    return m_input->examined();
}

// A value ends where a tag, a blank or the end of the file follows it.
bool AdiReader::endsCleanly(std::uint64_t end)
{
    if (!m_input->holds(end + 1))
        return true;
    const char next = m_input->at(end);
    return next == '<' || isBlank(next);
}

bool AdiReader::endsWithBlank(std::uint64_t end)
{
    return !m_input->holds(end + 1) || isBlank(m_input->at(end));
}

bool AdiReader::isEorAt(std::uint64_t at)
{
    return m_input->spells(at, "<EOR>", true);
}

// The first "<EOR>" (any letter case) that starts in [from, limit), or
// `limit`. `from` never goes back between calls, nor does the search.
std::uint64_t AdiReader::findEor(std::uint64_t from, std::uint64_t limit)
{
    if (m_eorFound != kNotFound && m_eorFound >= from)
        return std::min(m_eorFound, limit);
    std::uint64_t at = std::max(from, m_eorSearched);
    m_eorFound = kNotFound;
    while (at < limit) {
        at = m_input->find('<', at, limit);
        if (at == limit)
            break;
        if (isEorAt(at)) {
            m_eorFound = at;
            m_eorSearched = at + 1;
            return at;
        }
        ++at;
    }
    m_eorSearched = std::max(m_eorSearched, limit);
    return limit;
}

// The first byte beyond ASCII in [from, limit), or `limit`; searched as
// findEor() searches.
std::uint64_t AdiReader::findHighByte(std::uint64_t from, std::uint64_t limit)
{
    if (m_highFound != kNotFound && m_highFound >= from)
        return std::min(m_highFound, limit);
    const std::uint64_t at = std::max(from, m_highSearched);
    m_highFound = kNotFound;
    if (at >= limit)
        return limit;
    const std::uint64_t high =
        m_input->findIf(at, limit, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (high == limit) {
        m_highSearched = limit;
        return limit;
    }
    m_highFound = high;
    m_highSearched = high + 1;
    return high;
}

// Writers disagree on what a length counts: the standard says bytes, some
// programs count UTF-8 characters. Both agree on ASCII; otherwise the byte
// count is kept unless it ends inside a character or runs into text, while
// the character count ends cleanly before a tag, a blank or the end.
std::size_t AdiReader::valueLength(std::uint64_t start, std::size_t byteLength)
{
    const std::uint64_t byteEnd = start + byteLength;
    if (findHighByte(start, byteEnd) == byteEnd || endsCleanly(byteEnd))
        return byteLength;

    // The count stops at an <EOR>, which no value counted in characters runs
    // over, so that the walk costs no more than the value or the skip after it.
    std::uint64_t at = start;
    for (std::size_t chars = 0; chars < byteLength; ++chars) {
        if (at - start >= kMaxAdifRecordBytes || !m_input->holds(at + 1))
            return byteLength;
        m_input->holds(at + 4); // as much of a character as the file has
        if (m_input->at(at) == '<' && isEorAt(at))
            return byteLength;
        const auto available =
            static_cast<std::size_t>(std::min<std::uint64_t>(4, m_input->end() - at));
        const std::size_t n = utf8SequenceAt(m_input->view(at, available));
        if (n == 0)
            return byteLength; // not UTF-8: the bytes are Windows-1252, one per character
        at += n;
    }
    return endsCleanly(at) ? static_cast<std::size_t>(at - start) : byteLength;
}

AdifReadResult AdiReader::next(AdifRecord &record)
{
    record.fields.clear();
    InputWindow &in = *m_input;
    bool damaged = false;
    bool started = false; // a field or some damage since the last <EOR>/<EOH>
    std::size_t held = 0; // what the record's fields take in memory

    for (;;) {
        // Text between tags: comments, line breaks, a header's free text.
        for (;;) {
            if (m_pos >= in.end()) {
                in.setMark(m_pos);
                if (!in.holds(m_pos + 1)) {
                    if (started) {
                        record.fields.clear();
                        return AdifReadResult::Damaged; // no <EOR> at the end
                    }
                    return AdifReadResult::End;
                }
            }
            m_pos = in.findIf(m_pos, in.end(), [](char c) { return c == '<' || isGarbage(c); });
            if (m_pos == in.end())
                continue;
            if (in.at(m_pos) == '<')
                break;
            damaged = started = true;
            ++m_pos;
        }
        in.setMark(m_pos);

        // The tag, up to its '>'.
        in.holds(m_pos + kMaxTagLength + 1);
        const std::uint64_t tagLimit = std::min(in.end(), m_pos + kMaxTagLength + 1);
        const std::uint64_t tagEnd =
            in.findIf(m_pos + 1, tagLimit, [](char c) { return c == '>' || c == '<'; });
        const std::size_t close = tagEnd < tagLimit && in.at(tagEnd) == '>'
                                      ? static_cast<std::size_t>(tagEnd - m_pos)
                                      : 0;
        if (close == 0) {
            ++m_pos; // a lone '<' in text
            continue;
        }
        const std::string_view tag = in.view(m_pos + 1, close - 1);
        const std::size_t colon = tag.find(':');
        const std::string_view rawName = trimmed(tag.substr(0, colon));
        if (rawName.empty() || !std::all_of(rawName.begin(), rawName.end(), isNameChar)) {
            ++m_pos; // "<3 ...>" or the like in a comment
            continue;
        }
        std::string name = upper(rawName);
        std::string_view lengthText;
        if (colon != std::string_view::npos) {
            lengthText = tag.substr(colon + 1);
            lengthText = trimmed(lengthText.substr(0, lengthText.find(':'))); // drop the type
        }
        const bool lengthIsNumber = !lengthText.empty() && lengthText.size() <= 9 &&
                                    std::all_of(lengthText.begin(), lengthText.end(),
                                                [](char c) { return c >= '0' && c <= '9'; });
        std::size_t length = 0;
        if (lengthIsNumber)
            for (char c : lengthText)
                length = length * 10 + static_cast<std::size_t>(c - '0');
        m_pos += close + 1;

        if (colon == std::string_view::npos) {
            if (name == "EOR") {
                if (damaged) {
                    record.fields.clear();
                    return AdifReadResult::Damaged;
                }
                if (!record.fields.empty())
                    return AdifReadResult::Record;
                started = false; // an empty record: nothing to report
            } else if (name == "EOH") {
                record.fields.clear(); // the header's fields are not a contact
                damaged = started = false;
                held = 0;
            }
            continue; // any other tag without a length carries nothing
        }

        started = true;
        // A length past the end of the file is wrong: the bytes after the tag
        // are read again as tags, so the records that follow are not lost
        // with this one.
        if (!lengthIsNumber || length > kMaxAdifRecordBytes || !in.holds(m_pos + length)) {
            damaged = true;
            continue;
        }
        const std::uint64_t start = m_pos;
        const std::size_t taken = valueLength(start, length);
        const std::uint64_t eor = findEor(start, start + taken);
        if (eor < start + taken && !endsWithBlank(start + taken)) {
            // An <EOR> in a value is text when a writer that counts its
            // lengths put it there, as we do, a blank after each value. Without
            // that blank the length more likely runs over the end of the record
            // into the next one: this record ends damaged at that <EOR>, and
            // the next is read from there.
            damaged = true;
            m_pos = eor;
            continue;
        }
        m_pos = start + taken;
        if (damaged)
            continue; // nothing of a damaged record is kept
        held += sizeof(AdifField) + name.size() + taken;
        const std::string_view value = in.view(start, taken);
        if (held > kMaxAdifRecordBytes || hasGarbage(value)) {
            damaged = true;
            record.fields.clear();
            continue;
        }
        record.fields.push_back({std::move(name), std::string(value)});
    }
}

// --- ADX ----------------------------------------------------------------------

AdxReader::AdxReader(std::istream &in) : m_input(std::make_unique<InputWindow>(in)) {}

AdxReader::~AdxReader() = default;

std::uint64_t AdxReader::bytesExamined() const
{
    return m_input->examined();
}

// "<RECORD>" or "<RECORD " but not "<RECORDS>".
bool AdxReader::isRecordStart(std::uint64_t at)
{
    if (!m_input->holds(at + 8) || !m_input->spells(at, "<RECORD"))
        return false;
    const char c = m_input->at(at + 7);
    return c == '>' || isBlank(c);
}

bool AdxReader::isRecordEnd(std::uint64_t at)
{
    return m_input->spells(at, "</RECORD>");
}

std::uint64_t AdxReader::findRecordStart(std::uint64_t from)
{
    InputWindow &in = *m_input;
    for (;;) {
        in.setMark(from);
        if (!in.holds(from + 1))
            return kNone;
        const std::uint64_t at = in.find('<', from, in.end());
        if (at < in.end() && isRecordStart(at))
            return at;
        from = std::min(at + 1, in.end());
    }
}

AdifReadResult AdxReader::next(AdifRecord &record)
{
    record.fields.clear();
    InputWindow &in = *m_input;
    for (;;) {
        const std::uint64_t start = findRecordStart(m_pos);
        if (start == kNone) {
            m_pos = in.end();
            return AdifReadResult::End;
        }
        in.setMark(start);

        // Its end, or the start of another record before it: whichever comes
        // first, each byte looked at once. Both hold "RECORD", seldom seen
        // elsewhere, where '<' opens every element.
        const std::uint64_t longest = start + kMaxAdifRecordBytes;
        std::uint64_t end = 0;
        for (std::uint64_t at = start + 7; end == 0;) {
            if (!in.holds(at + 1)) {
                m_pos = in.end(); // no end before the end of the file
                return AdifReadResult::Damaged;
            }
            const std::uint64_t limit = std::min(in.end(), longest + 1);
            const std::uint64_t word = in.findWord("RECORD", at, limit);
            if (word == limit) {
                if (limit > longest) {
                    m_pos = limit; // too long to be a record: what follows is searched
                    return AdifReadResult::Damaged;
                }
                if (!in.holds(limit + 1)) {
                    m_pos = in.end(); // no end before the end of the file
                    return AdifReadResult::Damaged;
                }
                at = std::max(at, limit - 5); // a "RECORD" may straddle what was read
            } else if (word - 2 >= start + 7 && isRecordEnd(word - 2)) {
                end = word + 7;
            } else if (isRecordStart(word - 1)) {
                m_pos = word - 1; // a record opens inside this one
                return AdifReadResult::Damaged;
            } else {
                at = word + 1;
            }
        }
        m_pos = end;

        pugi::xml_document doc;
        const std::string_view text = in.view(start, static_cast<std::size_t>(end - start));
        const pugi::xml_parse_result parsed =
            doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!parsed)
            return AdifReadResult::Damaged;
        for (pugi::xml_node node : doc.first_child().children()) {
            if (node.type() != pugi::node_element)
                continue;
            std::string name = upper(node.name());
            if (name == "APP")
                name = "APP_" + upper(node.attribute("PROGRAMID").value()) + "_" +
                       upper(node.attribute("FIELDNAME").value());
            else if (name == "USERDEF")
                name = "USERDEF_" + upper(node.attribute("FIELDNAME").value());
            record.fields.push_back({std::move(name), node.child_value()});
        }
        if (!record.fields.empty())
            return AdifReadResult::Record;
    }
}

} // namespace ondelog

#include "interchange/adifreader.h"

#include "logbook/text.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>

namespace ondelog {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// A tag longer than this is no tag: a stray "<" in a comment.
constexpr std::size_t kMaxTagLength = 256;
// No field of any logger comes near this; a bigger length is a damaged one,
// and refusing it keeps a lying length from pulling the whole file into memory.
constexpr std::size_t kMaxValueLength = 1u << 20;
constexpr std::size_t kMaxAdxRecord = 4u << 20;

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

bool containsEorTag(std::string_view value)
{
    for (std::size_t i = value.find('<'); i != std::string_view::npos; i = value.find('<', i + 1)) {
        if (value.size() - i >= 5 && upper(value.substr(i, 5)) == "<EOR>")
            return true;
    }
    return false;
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

// Both readers stream through one buffer: what was read is dropped from its
// front once a whole chunk of it is behind, and the next chunk goes on its end.
// False when nothing more came (the end of the input).
bool readChunk(std::istream &in, std::string &buffer, std::size_t &pos, std::uint64_t &consumed,
               bool &eof)
{
    if (eof)
        return false;
    if (pos >= kChunk) {
        buffer.erase(0, pos);
        consumed += pos;
        pos = 0;
    }
    const std::size_t old = buffer.size();
    buffer.resize(old + kChunk);
    in.read(buffer.data() + old, static_cast<std::streamsize>(kChunk));
    const auto got = static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0));
    buffer.resize(old + got);
    if (got < kChunk)
        eof = true;
    return got > 0;
}

} // namespace

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

AdiReader::AdiReader(std::istream &in) : m_in(in) {}

bool AdiReader::fill(std::size_t n)
{
    while (m_buffer.size() - m_pos < n) {
        if (!readChunk(m_in, m_buffer, m_pos, m_consumed, m_eof))
            return false;
    }
    return true;
}

// Writers disagree on what a length counts: the standard says bytes, some
// programs count UTF-8 characters. Both agree on ASCII; otherwise the byte
// count is kept unless it ends inside a character or runs into text, while
// the character count ends cleanly before a tag, a blank or the end.
std::size_t AdiReader::valueLength(std::size_t byteLength)
{
    // Offsets are relative to m_pos: fill() may move the buffer.
    const std::string_view value(m_buffer.data() + m_pos, byteLength);
    if (std::none_of(value.begin(), value.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return byteLength;

    auto endsCleanly = [this](std::size_t length) {
        if (!fill(length + 1))
            return true; // the end of the file
        const char next = m_buffer[m_pos + length];
        return next == '<' || isBlank(next);
    };
    if (endsCleanly(byteLength))
        return byteLength;

    std::size_t length = 0;
    for (std::size_t chars = 0; chars < byteLength; ++chars) {
        if (!fill(length + 4) && !fill(length + 1))
            return byteLength;
        const std::size_t available = std::min<std::size_t>(4, m_buffer.size() - m_pos - length);
        const std::size_t n =
            utf8SequenceAt(std::string_view(m_buffer.data() + m_pos + length, available));
        if (n == 0)
            return byteLength; // not UTF-8: the bytes are Windows-1252, one per character
        length += n;
    }
    return endsCleanly(length) ? length : byteLength;
}

AdifReadResult AdiReader::next(AdifRecord &record)
{
    record.fields.clear();
    bool damaged = false;
    bool started = false; // a field or some damage since the last <EOR>/<EOH>

    for (;;) {
        // Text between tags: comments, line breaks, a header's free text.
        while (true) {
            if (m_pos >= m_buffer.size() && !fill(1)) {
                m_pos = m_buffer.size();
                if (started) {
                    record.fields.clear();
                    return AdifReadResult::Damaged; // no <EOR> at the end
                }
                return AdifReadResult::End;
            }
            const char c = m_buffer[m_pos];
            if (c == '<')
                break;
            if (isGarbage(c))
                damaged = started = true;
            ++m_pos;
        }

        // The tag, up to its '>'.
        std::size_t close = 0;
        for (std::size_t i = 1; i <= kMaxTagLength; ++i) {
            if (m_pos + i >= m_buffer.size() && !fill(i + 1))
                break;
            const char c = m_buffer[m_pos + i];
            if (c == '>') {
                close = i;
                break;
            }
            if (c == '<')
                break;
        }
        if (close == 0) {
            ++m_pos; // a lone '<' in text
            continue;
        }
        const std::string_view tag(m_buffer.data() + m_pos + 1, close - 1);
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
            }
            continue; // any other tag without a length carries nothing
        }

        started = true;
        if (lengthText.empty() || lengthText.size() > 9 ||
            !std::all_of(lengthText.begin(), lengthText.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            damaged = true;
            continue;
        }
        std::size_t length = 0;
        for (char c : lengthText)
            length = length * 10 + static_cast<std::size_t>(c - '0');
        // A length running past the end of the file or over the next record
        // is wrong: the bytes after the tag are read again as tags, so the
        // records that follow are not lost with this one.
        if (length > kMaxValueLength || !fill(length)) {
            damaged = true;
            continue;
        }
        const std::size_t taken = valueLength(length);
        const std::string_view value(m_buffer.data() + m_pos, taken);
        if (containsEorTag(value)) {
            damaged = true;
            continue;
        }
        if (hasGarbage(value))
            damaged = true;
        record.fields.push_back({std::move(name), std::string(value)});
        m_pos += taken;
    }
}

// --- ADX ----------------------------------------------------------------------

AdxReader::AdxReader(std::istream &in) : m_in(in) {}

bool AdxReader::readMore()
{
    return readChunk(m_in, m_buffer, m_pos, m_consumed, m_eof);
}

// "<RECORD>" or "<RECORD " but not "<RECORDS>".
std::size_t AdxReader::findRecordStart(std::size_t from) const
{
    for (std::size_t i = m_buffer.find("<RECORD", from); i != std::string::npos;
         i = m_buffer.find("<RECORD", i + 1)) {
        if (i + 7 >= m_buffer.size())
            return std::string::npos; // cannot tell yet
        const char c = m_buffer[i + 7];
        if (c == '>' || isBlank(c))
            return i;
    }
    return std::string::npos;
}

AdifReadResult AdxReader::next(AdifRecord &record)
{
    record.fields.clear();
    for (;;) {
        std::size_t start = findRecordStart(m_pos);
        while (start == std::string::npos) {
            // Keep the last bytes: a "<RECORD" may straddle two reads.
            m_pos = std::max(m_pos, m_buffer.size() > 8 ? m_buffer.size() - 8 : 0);
            if (!readMore()) {
                m_pos = m_buffer.size();
                return AdifReadResult::End;
            }
            start = findRecordStart(m_pos);
        }
        m_pos = start;

        std::size_t end = m_buffer.find("</RECORD>", start);
        while (end == std::string::npos && m_buffer.size() - start <= kMaxAdxRecord) {
            if (!readMore())
                break;
            start = m_pos; // the buffer may have moved
            end = m_buffer.find("</RECORD>", start);
        }
        const std::size_t nextStart = findRecordStart(start + 1);
        if (end == std::string::npos || (nextStart != std::string::npos && nextStart < end)) {
            // No end, or a record opens inside this one: skip to what follows.
            m_pos =
                nextStart != std::string::npos ? nextStart : std::max(start + 1, m_buffer.size());
            return AdifReadResult::Damaged;
        }
        end += 9; // past "</RECORD>"
        m_pos = end;

        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_buffer(
            m_buffer.data() + start, end - start, pugi::parse_default, pugi::encoding_utf8);
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

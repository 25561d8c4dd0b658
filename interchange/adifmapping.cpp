// SPDX-License-Identifier: GPL-3.0-or-later
#include "interchange/adifmapping.h"

#include "geo/calendar.h"
#include "geo/locator.h"
#include "logbook/frequency.h"
#include "text/text.h"
#include "text/transliteration.h"

#include <algorithm>
#include <array>

namespace ondelog {

namespace {

// ASCII likeness of each Windows-1252 byte from 0x80 up ("" for none). The
// single guillemets fold to quotes, not to "<" and ">": folded text must never
// make a tag appear in another program's ADI reader.
constexpr std::array<const char *, 128> kFold = {
    "EUR", "?",   ",", "f",  "\"",  "...", "+",   "+",
    "^",   "%",   "S", "'",  "OE",  "?",   "Z",   "?", // 80
    "?",   "'",   "'", "\"", "\"",  "*",   "-",   "-",
    "~",   "TM",  "s", "'",  "oe",  "?",   "z",   "Y", // 90
    " ",   "!",   "c", "L",  "?",   "Y",   "|",   "S",
    "\"",  "(c)", "a", "\"", "-",   "-",   "(R)", "-", // A0
    "o",   "+-",  "2", "3",  "'",   "u",   "P",   ".",
    ",",   "1",   "o", "\"", "1/4", "1/2", "3/4", "?", // B0
    "A",   "A",   "A", "A",  "A",   "A",   "AE",  "C",
    "E",   "E",   "E", "E",  "I",   "I",   "I",   "I", // C0
    "D",   "N",   "O", "O",  "O",   "O",   "O",   "x",
    "O",   "U",   "U", "U",  "U",   "Y",   "TH",  "ss", // D0
    "a",   "a",   "a", "a",  "a",   "a",   "ae",  "c",
    "e",   "e",   "e", "e",  "i",   "i",   "i",   "i", // E0
    "d",   "n",   "o", "o",  "o",   "o",   "o",   "/",
    "o",   "u",   "u", "u",  "u",   "y",   "th",  "y", // F0
};

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool allDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// ADIF's plain fields are ASCII in both forms; ADX carries the full text in
// the _INTL fields and, for our own use, in the application fields.
bool isPrintableAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
}

int twoDigitValue(std::string_view digits)
{
    return (digits[0] - '0') * 10 + (digits[1] - '0');
}

bool isValidDay(int year, int month, int day)
{
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string encode(std::string_view name, std::string_view cp1252, AdifFormat format)
{
    const bool full =
        format == AdifFormat::Adx && (name.starts_with("APP_") || name.ends_with("_INTL"));
    return full ? cp1252ToUtf8(cp1252) : foldToAscii(cp1252);
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

constexpr std::string_view kAppPrefix = "APP_ONDELOG_";

// The fields an import reads, found in one pass over the record.
enum class Slot
{
    CALL,
    QSO_DATE,
    TIME_ON,
    TIME_OFF,
    FREQ,
    BAND,
    MODE,
    SUBMODE,
    RST_SENT,
    RST_RCVD,
    QTH,
    QTH_INTL,
    GRIDSQUARE,
    NAME,
    NAME_INTL,
    COMMENT,
    COMMENT_INTL,
    QSL_VIA,
    QSL_SENT,
    QSLSDATE,
    QSL_RCVD,
    QSLRDATE,
    LOTW_QSL_RCVD,
    LOTW_QSLRDATE,
    EQSL_QSL_RCVD,
    EQSL_QSLRDATE,
    MY_GRIDSQUARE,
    Count
};

constexpr std::string_view kSlotNames[] = {
    "CALL",          "QSO_DATE",      "TIME_ON",      "TIME_OFF", "FREQ",          "BAND",
    "MODE",          "SUBMODE",       "RST_SENT",     "RST_RCVD", "QTH",           "QTH_INTL",
    "GRIDSQUARE",    "NAME",          "NAME_INTL",    "COMMENT",  "COMMENT_INTL",  "QSL_VIA",
    "QSL_SENT",      "QSLSDATE",      "QSL_RCVD",     "QSLRDATE", "LOTW_QSL_RCVD", "LOTW_QSLRDATE",
    "EQSL_QSL_RCVD", "EQSL_QSLRDATE", "MY_GRIDSQUARE"};
static_assert(std::size(kSlotNames) == static_cast<std::size_t>(Slot::Count));

class FieldIndex
{
  public:
    /** The first field of each name counts, as AdifRecord::find() would give. */
    explicit FieldIndex(const AdifRecord &record)
    {
        for (const AdifField &f : record.fields) {
            const std::string_view name = f.name;
            if (!name.empty() && name[0] == 'A' && name.starts_with(kAppPrefix)) {
                const std::string_view code = name.substr(kAppPrefix.size());
                for (int i = 1; i <= kFieldCount; ++i)
                    if (code == fieldLayout(i).code && !m_app[i])
                        m_app[i] = &f.value;
                continue;
            }
            for (std::size_t s = 0; s < std::size(kSlotNames); ++s)
                if (!name.empty() && name[0] == kSlotNames[s][0] && name == kSlotNames[s] &&
                    !m_slots[s])
                    m_slots[s] = &f.value;
        }
    }
    const std::string *slot(Slot s) const { return m_slots[static_cast<std::size_t>(s)]; }
    const std::string *app(int field) const { return m_app[field]; }

  private:
    std::array<const std::string *, static_cast<std::size_t>(Slot::Count)> m_slots{};
    std::array<const std::string *, kFieldCount + 1> m_app{};
};

} // namespace

std::string foldToAscii(std::string_view cp1252)
{
    if (isPrintableAscii(cp1252))
        return std::string(cp1252);
    std::string out;
    out.reserve(cp1252.size() + 8);
    for (char c : cp1252) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F)
            out.push_back(c);
        else if (u >= 0x80)
            out.append(kFold[u - 0x80]);
        else
            out.push_back(' ');
    }
    return out;
}

QsoRecord foldRecord(const QsoRecord &record)
{
    // Only the fields that hold something beyond ASCII are rebuilt.
    QsoRecord folded = record;
    auto foldPart = [&](std::size_t offset, std::size_t width) {
        const std::string_view part(record.bytes().data() + offset, width);
        if (isPrintableAscii(part))
            return;
        const std::string text = fixedWidth(foldToAscii(part), width);
        std::copy_n(text.data(), width, folded.bytes().data() + offset);
    };
    for (int i = 1; i <= kFieldCount; ++i) {
        const FieldLayout &layout = fieldLayout(i);
        if (i == static_cast<int>(Field::INFO)) {
            foldPart(layout.offset, kInfoPartWidth);
            foldPart(layout.offset + kInfoPartWidth, layout.width - kInfoPartWidth);
        } else {
            foldPart(layout.offset, layout.width);
        }
    }
    return folded;
}

// Dates and times are converted digit by digit: an export or an import
// converts hundreds of thousands of them.

std::optional<std::string> adifDate(std::string_view date)
{
    if (date.size() != 8 || date[2] != '/' || date[5] != '/' || !allDigits(date.substr(0, 2)) ||
        !allDigits(date.substr(3, 2)) || !allDigits(date.substr(6, 2)))
        return std::nullopt;
    const int year = yearFromTwoDigits(static_cast<std::uint8_t>(twoDigitValue(date.substr(6))));
    if (!isValidDay(year, twoDigitValue(date.substr(3)), twoDigitValue(date)))
        return std::nullopt;
    std::string text(8, '0');
    text[0] = year >= 2000 ? '2' : '1';
    text[1] = year >= 2000 ? '0' : '9';
    text.replace(2, 2, date.substr(6, 2));
    text.replace(4, 2, date.substr(3, 2));
    text.replace(6, 2, date.substr(0, 2));
    return text;
}

std::optional<std::string> logDate(std::string_view date)
{
    if (date.size() != 8 || !allDigits(date))
        return std::nullopt;
    const int year = twoDigitValue(date) * 100 + twoDigitValue(date.substr(2));
    if (year < 1960 || year > 2059 ||
        !isValidDay(year, twoDigitValue(date.substr(4)), twoDigitValue(date.substr(6))))
        return std::nullopt;
    std::string text = "dd/mm/yy";
    text.replace(0, 2, date.substr(6, 2));
    text.replace(3, 2, date.substr(4, 2));
    text.replace(6, 2, date.substr(2, 2));
    return text;
}

std::optional<std::string> adifTime(std::string_view time)
{
    if (time.size() != 5 || time[2] != ':' || !allDigits(time.substr(0, 2)) ||
        !allDigits(time.substr(3)) || twoDigitValue(time) > 23 ||
        twoDigitValue(time.substr(3)) > 59)
        return std::nullopt;
    std::string text(time.substr(0, 2));
    text += time.substr(3, 2);
    return text;
}

std::optional<std::string> logTime(std::string_view time)
{
    if ((time.size() != 4 && time.size() != 6) || !allDigits(time) || twoDigitValue(time) > 23 ||
        twoDigitValue(time.substr(2)) > 59 ||
        (time.size() == 6 && twoDigitValue(time.substr(4)) > 59))
        return std::nullopt;
    std::string text(time.substr(0, 2));
    text += ':';
    text += time.substr(2, 2);
    return text;
}

std::optional<std::string> logLocator(std::string_view gridSquare)
{
    const std::string grid = upperAscii(gridSquare);
    if (grid.size() != 4 && grid.size() != 6 && grid.size() != 8)
        return std::nullopt;
    if (grid.size() == 8 && !allDigits(grid.substr(6)))
        return std::nullopt;
    const std::string square = grid.substr(0, 4);
    // Any sub-square makes the square checkable by the locator rules.
    if (!isLocatorValid(square + "LL"))
        return std::nullopt;
    if (grid.size() == 4)
        return square;
    const std::string six = grid.substr(0, 6);
    return isLocatorValid(six) ? std::optional<std::string>(six) : std::nullopt;
}

// --- Export -------------------------------------------------------------------

std::vector<AdifField> contactToAdif(const QsoRecord &record, const ExportContext &context,
                                     AdifFormat format)
{
    AdifRecord built;
    std::vector<AdifField> &fields = built.fields;
    fields.reserve(40);
    auto add = [&](std::string name, std::string_view cp1252) {
        std::string value = encode(name, cp1252, format);
        fields.push_back({std::move(name), std::move(value)});
    };
    auto addText = [&](const char *name, std::string_view cp1252) {
        if (!cp1252.empty())
            add(name, cp1252);
    };
    auto addIntl = [&](const char *name, std::string_view cp1252) {
        addText(name, cp1252);
        if (format == AdifFormat::Adx && !isAscii(cp1252))
            add(std::string(name) + "_INTL", cp1252);
    };
    const FieldTexts texts = fieldTextsFromRecord(record);
    auto text = [&](Field f) -> const std::string & { return texts[static_cast<int>(f)]; };

    addText("CALL", text(Field::CSGN));
    const auto date = adifDate(text(Field::DQSO));
    if (date)
        add("QSO_DATE", *date);
    if (auto time = adifTime(text(Field::HDEB)))
        add("TIME_ON", *time);
    if (auto time = adifTime(text(Field::HFIN)))
        add("TIME_OFF", *time);
    if (auto freq = frequencyWithPoint(text(Field::FREQ))) {
        add("FREQ", *freq);
        const std::string band = bandOfFrequency(frequencyMegahertz(*freq).value_or(0));
        if (!band.empty())
            add("BAND", band);
    }
    if (auto mode = adifMode(text(Field::MODE))) {
        add("MODE", mode->mode);
        if (!mode->submode.empty())
            add("SUBMODE", mode->submode);
    }
    addText("RST_SENT", text(Field::SRST));
    addText("RST_RCVD", text(Field::MRST));
    addIntl("QTH", text(Field::SQTH));
    if (auto grid = logLocator(text(Field::SLOC)); grid && *grid == text(Field::SLOC))
        add("GRIDSQUARE", *grid);
    addIntl("NAME", text(Field::SNOM));
    addIntl("COMMENT", texts[13]);
    addText("QSL_VIA", texts[17]);
    const std::string &mine = text(Field::MQSL);
    if (auto date = adifDate(mine)) {
        add("QSL_SENT", "Y");
        add("QSLSDATE", *date);
    } else if (mine == "En cours") {
        add("QSL_SENT", "Q");
    } else if (!mine.empty()) {
        add("QSL_SENT", "Y");
    }
    const std::string &theirs = text(Field::SQSL);
    if (!theirs.empty()) {
        add("QSL_RCVD", "Y");
        if (auto date = adifDate(theirs))
            add("QSLRDATE", *date);
    }
    if (auto grid = logLocator(text(Field::MLOC)); grid && *grid == text(Field::MLOC))
        add("MY_GRIDSQUARE", *grid);
    if (!context.stationCall.empty())
        add("STATION_CALLSIGN", context.stationCall);
    if (!text(Field::DEPT).empty())
        add(std::string(kAppPrefix) + "DEPT", text(Field::DEPT));

    // Read the fields back as an import would (with a station locator no
    // field can hold) and carry every field that does not come back exactly.
    // A contact without a QSO_DATE would be refused: its date text goes too.
    const QsoRecord back = contactFromAdif(built, "\x01").record;
    for (int i = 1; i <= kFieldCount; ++i) {
        const FieldLayout &layout = fieldLayout(i);
        const auto from = static_cast<std::ptrdiff_t>(layout.offset);
        const auto to = static_cast<std::ptrdiff_t>(layout.offset + layout.width);
        if (std::equal(record.bytes().begin() + from, record.bytes().begin() + to,
                       back.bytes().begin() + from) &&
            (date || i != static_cast<int>(Field::DQSO)))
            continue;
        const std::string raw = record.rawField(i);
        const std::size_t end = raw.find_last_not_of(' ');
        const std::string name = std::string(kAppPrefix) + fieldLayout(i).code;
        std::erase_if(fields, [&name](const AdifField &f) { return f.name == name; });
        add(name, end == std::string::npos ? std::string() : raw.substr(0, end + 1));
    }
    return std::move(built.fields);
}

// --- Import -------------------------------------------------------------------

ImportedContact contactFromAdif(const AdifRecord &adif, std::string_view stationLocator)
{
    ImportedContact result;
    QsoRecord &r = result.record;

    // Texts are looked at in place when they are plain ASCII, the usual case;
    // others are converted once into `converted`, with the letters the log
    // cannot hold folded to the nearest ones it can.
    struct Text
    {
        std::string_view text;
        bool folded = false;
    };
    const FieldIndex index(adif);
    std::array<std::string, static_cast<std::size_t>(Slot::Count)> converted;
    auto value = [&](Slot slot) -> std::optional<Text> {
        const std::string *v = index.slot(slot);
        if (!v)
            return std::nullopt;
        if (isPrintableAscii(*v))
            return Text{trimmedView(*v)};
        std::string &text = converted[static_cast<std::size_t>(slot)];
        bool folded = false;
        if (isValidUtf8(*v)) {
            FoldedText fold = foldToCp1252(*v);
            folded = fold.changed;
            text = textFromAdif(fold.utf8);
        } else {
            text = textFromAdif(*v);
        }
        return Text{trimmedView(text), folded};
    };
    auto textOf = [&](Slot slot) { return value(slot).value_or(Text()).text; };
    auto firstOf = [&](Slot a, Slot b) {
        auto v = value(a);
        return v && !v->text.empty() ? v : value(b);
    };
    auto store = [&](Field f, std::optional<Text> t) {
        const Text text = t.value_or(Text());
        if (text.folded || text.text.size() > fieldLayout(f).width)
            ++result.truncatedFields;
        r.setField(f, text.text);
    };

    const Text callText = value(Slot::CALL).value_or(Text());
    const std::string call = toUpperCp1252(callText.text);
    store(Field::CSGN, Text{call, callText.folded});
    if (auto text = logDate(textOf(Slot::QSO_DATE)))
        r.setField(Field::DQSO, *text);
    if (auto time = value(Slot::TIME_ON))
        r.setField(Field::HDEB, logTime(time->text).value_or(""));
    if (auto time = value(Slot::TIME_OFF))
        r.setField(Field::HFIN, logTime(time->text).value_or(""));
    if (auto freq = value(Slot::FREQ); freq && !freq->text.empty()) {
        store(Field::FREQ, freq);
    } else if (auto edge = bandLowerEdge(textOf(Slot::BAND))) {
        r.setField(Field::FREQ, formatNumber(*edge));
    }
    const LogModeText mode = logModeFromAdif(textOf(Slot::MODE), textOf(Slot::SUBMODE));
    result.truncatedFields += mode.shortened;
    r.setField(Field::MODE, mode.text);
    store(Field::SRST, value(Slot::RST_SENT));
    store(Field::MRST, value(Slot::RST_RCVD));
    store(Field::SQTH, firstOf(Slot::QTH_INTL, Slot::QTH));
    if (auto grid = value(Slot::GRIDSQUARE))
        r.setField(Field::SLOC, logLocator(grid->text).value_or(""));
    store(Field::SNOM, firstOf(Slot::NAME_INTL, Slot::NAME));
    const Text remarks = firstOf(Slot::COMMENT_INTL, Slot::COMMENT).value_or(Text());
    const Text manager = value(Slot::QSL_VIA).value_or(Text());
    for (const Text &part : {remarks, manager})
        result.truncatedFields += part.folded || part.text.size() > kInfoPartWidth;
    r.setField(Field::INFO, buildInfo(remarks.text.substr(0, kInfoPartWidth),
                                      manager.text.substr(0, kInfoPartWidth)));

    const std::string sent = upperAscii(textOf(Slot::QSL_SENT));
    if (sent == "Y") {
        const auto date = logDate(textOf(Slot::QSLSDATE));
        r.setField(Field::MQSL, date.value_or("Envoy\xE9"
                                              "e"));
    } else if (sent == "Q") {
        r.setField(Field::MQSL, "En cours");
    }
    // A paper card first, then LoTW, then eQSL: the first that came says when.
    constexpr std::pair<Slot, Slot> kReceived[] = {{Slot::QSL_RCVD, Slot::QSLRDATE},
                                                   {Slot::LOTW_QSL_RCVD, Slot::LOTW_QSLRDATE},
                                                   {Slot::EQSL_QSL_RCVD, Slot::EQSL_QSLRDATE}};
    for (const auto &[flag, date] : kReceived) {
        const std::string received = upperAscii(textOf(flag));
        if (received == "Y" || received == "V") {
            r.setField(Field::SQSL, logDate(textOf(date)).value_or("Re\xE7ue"));
            break;
        }
    }
    const auto myGrid = value(Slot::MY_GRIDSQUARE);
    const auto myLocator = myGrid ? logLocator(myGrid->text) : std::nullopt;
    r.setField(Field::MLOC, myLocator ? std::string_view(*myLocator) : stationLocator);

    // Our own export's exact texts win over the mapped ones.
    bool exactDate = false;
    for (int i = 1; i <= kFieldCount; ++i) {
        if (const std::string *v = index.app(i)) {
            r.setField(i, isPrintableAscii(*v) ? *v : textFromAdif(*v));
            exactDate = exactDate || i == static_cast<int>(Field::DQSO);
        }
    }

    const std::string stored = r.field(Field::CSGN);
    if (stored.empty() || !isCallSignStorable(stored))
        result.skip = ImportSkip::NoCallSign;
    else if (!exactDate && r.field(Field::DQSO).empty())
        result.skip = ImportSkip::DateNotWritable;
    return result;
}

} // namespace ondelog

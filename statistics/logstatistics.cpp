// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/logstatistics.h"

#include "geo/calendar.h"
#include "geo/locator.h"
#include "logbook/frequency.h"
#include "logbook/record.h"
#include "logbook/recordreader.h"
#include "text/text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace ondelog {

namespace {

// A log of 100,000 contacts is counted in a few milliseconds, not much more
// than reading it: each record leaves a row of a few bytes (which bar of each
// chart it falls in), and what a field's bytes mean is worked out once per
// distinct spelling, not once per contact.

constexpr int kFirstYear = 1960; // the two-digit years of the log name 1960..2059
constexpr int kYears = 100;
constexpr std::uint8_t kUnknownYear = kYears;
constexpr int kHours = 24;
constexpr std::uint8_t kUnknownHour = kHours;

// The département of a row: 0..95 the award's, or one of these.
enum : std::uint8_t
{
    kNoDepartement = kAwardDepartements,
    kCorsica,
    kOverseas,
    kUnknownDepartement,
};

// Locators as numbers: sub-squares first, then four-character squares.
constexpr std::uint32_t kSquares = 18 * 18 * 10 * 10;
constexpr std::uint32_t kSubSquares = kSquares * 24 * 24;
constexpr std::uint32_t kNoLocator = UINT32_MAX;

// Days in each month of a common year, less 28.
constexpr std::string_view kMonthLengths = "303232332323";

// What the count keeps of a contact. The charts' bars are read at once; the
// fields of the award and of the map are kept as they stand and read only
// when the award or the map is first asked for, so that the count costs not
// much more than reading the log.
struct Row
{
    std::int32_t record;
    std::uint32_t mode; // slot, see State
    std::uint8_t year;  // offset from kFirstYear, or kUnknownYear
    std::uint8_t hour;
    std::uint8_t band; // slot
    // SLOC then DEPT, side by side in the record (offsets 89 and 95, as the
    // file format has them for good): one copy.
    char locatorAndDepartement[9];
    char theirQsl[8];

    std::string_view locator() const { return {locatorAndDepartement, 6}; }
    std::string_view departement() const { return {locatorAndDepartement + 6, 3}; }
};

// The award's and the map's reading of a row.
struct Placed
{
    std::uint32_t locator;
    std::uint8_t departement;
    bool confirmed;
};

// Fields are not NUL-terminated: the digits are read from a pointer, never
// through a string_view built from it.
int twoDigitsAt(const char *text, std::size_t at)
{
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// A date field as the log writes it, dd/mm/yy in its 8 bytes: its yyyymmdd,
// 0 when it is no date, -1 when the field is in another form (read then by
// the general check, with the same result).
int writtenDateKey(const char *p)
{
    for (int i : {0, 1, 3, 4, 6, 7})
        if (!isDigit(p[i]))
            return -1;
    if (p[2] != '/' || p[5] != '/')
        return -1;
    const int day = twoDigitsAt(p, 0);
    const int month = twoDigitsAt(p, 3);
    const int year = yearFromTwoDigits(static_cast<std::uint8_t>(twoDigitsAt(p, 6)));
    if (day < 1 || month < 1 || month > 12)
        return 0;
    const int days = 28 + (kMonthLengths[static_cast<std::size_t>(month - 1)] - '0') +
                     (month == 2 && year % 4 == 0);
    return day <= days ? year * 10000 + month * 100 + day : 0;
}

// The hour of a start time. The log writes hh:mm; what the time check of the
// entry would take is read the same way, but letters or an empty field, which
// that check would read as midnight, are no time at all.
std::uint8_t startHour(std::string_view raw)
{
    const char *p = raw.data();
    if (raw.size() >= 5 && isDigit(p[0]) && isDigit(p[1]) && p[2] == ':' && isDigit(p[3]) &&
        isDigit(p[4])) {
        const int hour = twoDigitsAt(p, 0);
        return hour < kHours && twoDigitsAt(p, 3) < 60 ? static_cast<std::uint8_t>(hour)
                                                       : kUnknownHour;
    }
    const std::string_view text = trimmedView(raw);
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == ':'; }))
        return kUnknownHour;
    const auto time = checkTime(text);
    return time ? static_cast<std::uint8_t>(twoDigitsAt(time->c_str(), 0)) : kUnknownHour;
}

// What the other station's card field says when the card came back: the day
// it arrived, or the word the ADIF import writes when a report gave no day.
bool isConfirmation(std::string_view raw)
{
    const std::string_view text = trimmedView(raw);
    if (text.empty())
        return false;
    if (dateKey(text))
        return true;
    const std::string upper = toUpperCp1252(text);
    return upper == "RE\xC7UE" || upper == "RECUE";
}

std::uint32_t locatorCode(std::string_view text)
{
    if (text.size() != 6 && text.size() != 4)
        return kNoLocator;
    // Every character checked, the checks combined without branching: the
    // locators of a log follow no pattern a processor could learn.
    auto letter = [&](std::size_t i) {
        const auto c = static_cast<unsigned char>(text[i]);
        return static_cast<unsigned>((static_cast<unsigned>(c - 'a') < 26u ? c - 'a' + 'A' : c) -
                                     'A');
    };
    auto digit = [&](std::size_t i) { return static_cast<unsigned>(text[i] - '0'); };
    const unsigned l0 = letter(0), l1 = letter(1), d2 = digit(2), d3 = digit(3);
    const bool squareValid = (l0 < 18) & (l1 < 18) & (d2 < 10) & (d3 < 10);
    const std::uint32_t square = ((l0 * 18 + l1) * 10 + d2) * 10 + d3;
    if (text.size() == 4)
        return squareValid ? kSubSquares + square : kNoLocator;
    const unsigned l4 = letter(4), l5 = letter(5);
    const bool valid = squareValid & (l4 < 24) & (l5 < 24);
    return valid ? square * 576 + l4 * 24 + l5 : kNoLocator;
}

// A locator field as it stands in the record.
std::uint32_t locatorOfField(std::string_view raw)
{
    if (raw[0] != ' ')
        return locatorCode(raw.substr(0, raw[4] == ' ' && raw[5] == ' ' ? 4 : 6));
    return locatorCode(trimmedView(raw));
}

std::uint8_t departementCode(const DepartementReading &reading)
{
    switch (reading.kind) {
    case DepartementReading::Kind::Departement:
        return static_cast<std::uint8_t>(reading.index);
    case DepartementReading::Kind::Corsica:
        return kCorsica;
    case DepartementReading::Kind::Overseas:
        return kOverseas;
    case DepartementReading::Kind::Unknown:
        return kUnknownDepartement;
    case DepartementReading::Kind::None:
        break;
    }
    return kNoDepartement;
}

WorkedLocator placeLocator(std::uint32_t code)
{
    const bool square = code >= kSubSquares;
    const std::uint32_t squareIndex = square ? code - kSubSquares : code / 576;
    std::string locator{char('A' + squareIndex / 1800), char('A' + squareIndex / 100 % 18),
                        char('0' + squareIndex / 10 % 10), char('0' + squareIndex % 10)};
    WorkedLocator worked;
    if (square) {
        // The middle of the square, counted as geo/ counts a sub-square's.
        worked.latitude = (locator[1] - 'A') * 10 - 90 + (locator[3] - '0') + 0.5;
        worked.longitude = 180 - (locator[0] - 'A') * 20 - (locator[2] - '0') * 2 - 1;
    } else {
        locator += char('A' + code % 576 / 24);
        locator += char('A' + code % 24);
        worked.latitude = locatorLatitude(locator);
        worked.longitude = locatorLongitude(locator);
    }
    worked.locator = std::move(locator);
    return worked;
}

// Up to 16 bytes of a field, as two words.
struct RawKey
{
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    bool operator==(const RawKey &) const = default;
};

// What each distinct spelling of a field was read as.
class RawCache
{
  public:
    static constexpr std::uint32_t kMissing = UINT32_MAX;

    std::uint32_t find(const RawKey &key) const
    {
        if (m_entries.empty())
            return kMissing;
        for (std::size_t i = slot(key);; i = (i + 1) & (m_entries.size() - 1)) {
            const Entry &e = m_entries[i];
            if (e.value == kMissing || e.key == key)
                return e.value;
        }
    }

    void insert(const RawKey &key, std::uint32_t value)
    {
        if ((m_used + 1) * 2 > m_entries.size()) {
            std::vector<Entry> old = std::move(m_entries);
            m_entries.assign(std::max<std::size_t>(64, old.size() * 2), Entry{});
            m_shift = 64 - std::countr_zero(m_entries.size());
            m_used = 0;
            for (const Entry &e : old)
                if (e.value != kMissing)
                    place(e.key, e.value);
        }
        place(key, value);
    }

  private:
    struct Entry
    {
        RawKey key;
        std::uint32_t value = kMissing;
    };

    // The top bits of the product: the bottom ones would see only the first
    // characters, which most spellings of a field share.
    std::size_t slot(const RawKey &key) const
    {
        std::uint64_t h = key.a * 0x9E3779B97F4A7C15ull + key.b;
        h ^= h >> 32;
        h *= 0xC2B2AE3D27D4EB4Full;
        return static_cast<std::size_t>(h >> m_shift);
    }

    void place(const RawKey &key, std::uint32_t value)
    {
        std::size_t i = slot(key);
        while (m_entries[i].value != kMissing && !(m_entries[i].key == key))
            i = (i + 1) & (m_entries.size() - 1);
        if (m_entries[i].value == kMissing)
            ++m_used;
        m_entries[i] = {key, value};
    }

    std::vector<Entry> m_entries;
    std::size_t m_used = 0;
    int m_shift = 64;
};

// Labels met in the log, each with a slot number given in the order met.
struct Slots
{
    std::vector<std::string> labels;
    std::vector<std::int32_t> counts;
    std::unordered_map<std::string, std::uint32_t> index;

    std::uint32_t slotOf(std::string label)
    {
        auto [it, added] = index.try_emplace(std::move(label), labels.size());
        if (added) {
            labels.push_back(it->first);
            counts.push_back(0);
        }
        return it->second;
    }
};

// Where the fields the figures come from lie in a record, as compile-time
// constants: the count reads them for every contact. The file format fixes
// them for good; a test holds them to logbook/record.h.
template <std::size_t Offset, std::size_t Width> struct FieldPlace
{
    static constexpr std::size_t offset = Offset;
    static constexpr std::size_t width = Width;
    // Of the field's first 8 bytes as a key reads them, and of the next 8.
    static constexpr std::uint64_t maskA = width >= 8 ? ~0ull : (1ull << (8 * width)) - 1;
    static constexpr std::uint64_t maskB = width >= 16  ? ~0ull
                                           : width <= 8 ? 0
                                                        : (1ull << (8 * (width - 8))) - 1;

    static std::string_view raw(const char *record) { return {record + offset, width}; }
    static std::string_view trimmed(const char *record) { return trimmedView(raw(record)); }
    // Whole words read and masked: copying a few bytes into a key and reading
    // it back as a word would stall the processor on every record.
    static RawKey key(const char *record)
    {
        static_assert(offset + 16 <= kRecordSize, "a key reads 16 bytes");
        RawKey k;
        std::memcpy(&k.a, record + offset, 8);
        std::memcpy(&k.b, record + offset + 8, 8);
        k.a &= maskA;
        k.b &= maskB;
        return k;
    }
};

// The last spelling of a field and what it was read as: a log holds runs of
// contacts on one band, in one mode.
struct Memo
{
    RawKey key{~0ull, ~0ull};
    std::uint32_t value = RawCache::kMissing;
};

} // namespace

std::optional<int> dateKey(std::string_view text)
{
    std::optional<std::string> date;
    if (text.size() == 10) {
        const TypedDate typed = checkTypedDate(text);
        if (typed.verdict == TypedDate::Verdict::Valid)
            date = typed.date;
    } else if (!text.empty()) {
        date = checkDate(text);
    }
    if (!date)
        return std::nullopt;
    const int year = yearFromTwoDigits(static_cast<std::uint8_t>(twoDigitsAt(date->c_str(), 6)));
    return year * 10000 + twoDigitsAt(date->c_str(), 3) * 100 + twoDigitsAt(date->c_str(), 0);
}

struct LogStatistics::Rows
{
    std::vector<Row> rows;
    int firstYear = 0;                   // offset of years[0]
    std::vector<std::uint32_t> bandSlot; // slot of bands[i]
    std::vector<std::uint32_t> modeSlot; // slot of modes[i]
    // Read from the rows the first time the award or the map asks; the
    // figures are built on one thread and only read afterwards.
    mutable std::vector<Placed> placed;
    mutable bool isPlaced = false;

    const std::vector<Placed> &place() const;

    template <typename Keep> std::vector<std::int32_t> select(Keep &&keep) const
    {
        std::vector<std::int32_t> records;
        for (const Row &row : rows)
            if (keep(row))
                records.push_back(row.record);
        return records;
    }
    template <typename Keep> std::vector<std::int32_t> selectPlaced(Keep &&keep) const
    {
        const std::vector<Placed> &p = place();
        std::vector<std::int32_t> records;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (keep(p[i]))
                records.push_back(rows[i].record);
        return records;
    }
};

const std::vector<Placed> &LogStatistics::Rows::place() const
{
    if (isPlaced)
        return placed;
    placed.resize(rows.size());
    RawCache departements; // a log names a few dozen départements, thousands of times
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row &row = rows[i];
        RawKey key;
        std::memcpy(&key.a, row.departement().data(), row.departement().size());
        std::uint32_t departement = departements.find(key);
        if (departement == RawCache::kMissing) {
            departement = departementCode(readDepartement(row.departement()));
            departements.insert(key, departement);
        }
        Placed &p = placed[i];
        p.departement = static_cast<std::uint8_t>(departement);
        p.confirmed = departement < kAwardDepartements &&
                      isConfirmation(std::string_view(row.theirQsl, sizeof row.theirQsl));
        p.locator = locatorOfField(row.locator());
    }
    isPlaced = true;
    return placed;
}

LogStatistics::LogStatistics() : m_rows(new Rows) {}

LogStatistics::~LogStatistics()
{
    delete m_rows;
}

LogStatistics::LogStatistics(LogStatistics &&other) noexcept
    : status(other.status), contacts(other.contacts), leftOut(other.leftOut),
      years(std::move(other.years)), bands(std::move(other.bands)), modes(std::move(other.modes)),
      hours(std::move(other.hours)), m_rows(std::exchange(other.m_rows, new Rows))
{
}

LogStatistics &LogStatistics::operator=(LogStatistics &&other) noexcept
{
    if (this != &other) {
        status = other.status;
        contacts = other.contacts;
        leftOut = other.leftOut;
        years = std::move(other.years);
        bands = std::move(other.bands);
        modes = std::move(other.modes);
        hours = std::move(other.hours);
        std::swap(m_rows, other.m_rows);
    }
    return *this;
}

const std::vector<Tally> &LogStatistics::chart(Chart chart) const
{
    switch (chart) {
    case Chart::Years:
        return years;
    case Chart::Bands:
        return bands;
    case Chart::Modes:
        return modes;
    case Chart::Hours:
        break;
    }
    return hours;
}

std::vector<std::int32_t> LogStatistics::records(Chart chart, std::size_t index) const
{
    const Rows &r = *m_rows;
    if (index >= this->chart(chart).size())
        return {};
    switch (chart) {
    case Chart::Years: {
        const bool unknown = years[index].label == kUnknownLabel;
        const auto year =
            unknown ? kUnknownYear : static_cast<std::uint8_t>(r.firstYear + int(index));
        return r.select([&](const Row &row) { return row.year == year; });
    }
    case Chart::Bands:
        return r.select([&](const Row &row) { return row.band == r.bandSlot[index]; });
    case Chart::Modes:
        return r.select([&](const Row &row) { return row.mode == r.modeSlot[index]; });
    case Chart::Hours:
        break;
    }
    return r.select([&](const Row &row) { return row.hour == index; });
}

std::vector<std::int32_t> LogStatistics::corsicaRecords() const
{
    return m_rows->selectPlaced([](const Placed &p) { return p.departement == kCorsica; });
}

std::vector<std::int32_t> LogStatistics::unknownDepartementRecords() const
{
    return m_rows->selectPlaced(
        [](const Placed &p) { return p.departement == kUnknownDepartement; });
}

std::int32_t LogStatistics::unlocated() const
{
    const std::vector<Placed> &placed = m_rows->place();
    return static_cast<std::int32_t>(std::count_if(
        placed.begin(), placed.end(), [](const Placed &p) { return p.locator == kNoLocator; }));
}

AwardView LogStatistics::award(std::optional<std::size_t> band) const
{
    AwardView view;
    if (band && *band >= bands.size())
        return view;
    const std::uint32_t slot = band ? m_rows->bandSlot[*band] : 0;
    const std::vector<Placed> &placed = m_rows->place();
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const Row &row = m_rows->rows[i];
        const Placed &p = placed[i];
        if (p.departement >= kAwardDepartements || (band && row.band != slot))
            continue;
        AwardCell &cell = view.cells[p.departement];
        cell.records.push_back(row.record);
        if (p.confirmed)
            cell.state = AwardState::Confirmed;
        else if (cell.state == AwardState::NotWorked)
            cell.state = AwardState::Worked;
    }
    for (const AwardCell &cell : view.cells) {
        view.worked += cell.state != AwardState::NotWorked;
        view.confirmed += cell.state == AwardState::Confirmed;
    }
    return view;
}

std::vector<WorkedLocator> LogStatistics::locators() const
{
    std::vector<WorkedLocator> worked;
    std::unordered_map<std::uint32_t, std::size_t> index;
    for (const Placed &p : m_rows->place()) {
        if (p.locator == kNoLocator)
            continue;
        auto [it, added] = index.try_emplace(p.locator, worked.size());
        if (added)
            worked.push_back(placeLocator(p.locator));
        ++worked[it->second].contacts;
    }
    return worked;
}

std::vector<std::int32_t> LogStatistics::locatorRecords(std::string_view locator) const
{
    const std::uint32_t code = locatorCode(locator);
    if (code == kNoLocator)
        return {};
    return m_rows->selectPlaced([&](const Placed &p) { return p.locator == code; });
}

struct StatisticsCounter::State
{
    std::vector<Row> rows;
    std::int32_t leftOut = 0;
    FieldPlace<15, 8> date;       // DQSO
    FieldPlace<23, 5> start;      // HDEB
    FieldPlace<33, 10> frequency; // FREQ
    FieldPlace<43, 5> mode;       // MODE
    FieldPlace<89, 6> locator;    // SLOC, with DEPT right after it
    FieldPlace<151, 8> theirQsl;  // SQSL
    RawCache bandOfRaw;
    RawCache modeOfRaw;
    Memo lastBand, lastMode;
    std::uint64_t lastDate = ~0ull; // raw bytes of the last date field, and its key
    int lastDateKey = 0;
    std::array<std::int32_t, kYears + 1> perYear{};
    std::array<std::int32_t, kHours + 1> perHour{};
    Slots bands;
    Slots modes;
    std::uint32_t unknownMode = RawCache::kMissing;

    std::uint32_t readBand(const char *record)
    {
        const RawKey key = frequency.key(record);
        if (key == lastBand.key)
            return lastBand.value;
        std::uint32_t band = bandOfRaw.find(key);
        if (band == RawCache::kMissing) {
            std::string name(kUnknownLabel);
            if (const auto mhz = frequencyMegahertz(frequency.trimmed(record))) {
                name = bandOfFrequency(*mhz);
                if (name.empty())
                    name = kOtherBandLabel;
            }
            band = bands.slotOf(std::move(name));
            bandOfRaw.insert(key, band);
        }
        lastBand = {key, band};
        return band;
    }

    std::uint32_t readMode(const char *record)
    {
        const RawKey key = this->mode.key(record);
        if (key == lastMode.key)
            return lastMode.value;
        std::uint32_t slot = modeOfRaw.find(key);
        if (slot == RawCache::kMissing) {
            const std::string_view text = this->mode.trimmed(record);
            if (text.empty() || std::any_of(text.begin(), text.end(), isControlByte)) {
                if (unknownMode == RawCache::kMissing) {
                    unknownMode = static_cast<std::uint32_t>(modes.labels.size());
                    modes.labels.emplace_back(kUnknownLabel);
                    modes.counts.push_back(0);
                }
                slot = unknownMode;
            } else {
                slot = modes.slotOf(toUpperCp1252(text));
            }
            modeOfRaw.insert(key, slot);
        }
        lastMode = {key, slot};
        return slot;
    }
};

StatisticsCounter::StatisticsCounter(const Period &period) : m_period(period), m_state(new State) {}

StatisticsCounter::~StatisticsCounter()
{
    delete m_state;
}

void StatisticsCounter::reserve(std::int32_t records)
{
    m_state->rows.reserve(static_cast<std::size_t>(std::max(records, 0)));
}

void StatisticsCounter::add(std::int32_t n, const char *record)
{
    State &s = *m_state;
    // The period needs the date first: a contact outside it is not read further.
    std::uint64_t rawDate;
    std::memcpy(&rawDate, record + s.date.offset, sizeof rawDate);
    if (rawDate != s.lastDate) {
        s.lastDate = rawDate;
        s.lastDateKey = writtenDateKey(record + s.date.offset);
        if (s.lastDateKey < 0)
            s.lastDateKey = dateKey(s.date.trimmed(record)).value_or(0);
    }
    const int date = s.lastDateKey;
    if (!m_period.isOpen() && !(date > 0 && m_period.contains(date))) {
        ++s.leftOut;
        return;
    }
    // Filled where it stays: a row built aside and copied in would be read
    // back in wide words just after being written in narrow ones.
    Row &row = s.rows.emplace_back();
    row.record = n;
    row.year = date > 0 ? static_cast<std::uint8_t>(date / 10000 - kFirstYear) : kUnknownYear;
    row.hour = startHour(s.start.raw(record));
    row.band = static_cast<std::uint8_t>(s.readBand(record));
    row.mode = s.readMode(record);
    std::memcpy(row.locatorAndDepartement, record + s.locator.offset,
                sizeof row.locatorAndDepartement);
    std::memcpy(row.theirQsl, record + s.theirQsl.offset, sizeof row.theirQsl);

    ++s.perYear[row.year];
    ++s.perHour[row.hour];
    ++s.bands.counts[row.band];
    ++s.modes.counts[row.mode];
}

LogStatistics StatisticsCounter::take()
{
    State &s = *m_state;
    LogStatistics result;
    LogStatistics::Rows &r = *result.m_rows;
    result.contacts = static_cast<std::int32_t>(s.rows.size());
    result.leftOut = s.leftOut;

    const auto &perYear = s.perYear;
    const auto &perHour = s.perHour;

    int first = kYears, last = -1;
    for (int y = 0; y < kYears; ++y)
        if (perYear[static_cast<std::size_t>(y)] > 0) {
            first = std::min(first, y);
            last = y;
        }
    r.firstYear = first;
    for (int y = first; y <= last; ++y)
        result.years.push_back(
            {std::to_string(kFirstYear + y), perYear[static_cast<std::size_t>(y)]});
    if (perYear[kUnknownYear] > 0)
        result.years.push_back({std::string(kUnknownLabel), perYear[kUnknownYear]});

    // Bands by their place in the spectrum, then what names no band.
    r.bandSlot.resize(s.bands.labels.size());
    std::iota(r.bandSlot.begin(), r.bandSlot.end(), 0u);
    auto rank = [&](std::uint32_t slot) {
        const std::string &name = s.bands.labels[slot];
        if (name == kOtherBandLabel)
            return 1e12;
        if (name == kUnknownLabel)
            return 2e12;
        return bandLowerEdge(name).value_or(0.0);
    };
    std::sort(r.bandSlot.begin(), r.bandSlot.end(),
              [&](std::uint32_t a, std::uint32_t b) { return rank(a) < rank(b); });
    for (std::uint32_t slot : r.bandSlot)
        result.bands.push_back({s.bands.labels[slot], s.bands.counts[slot]});

    // Modes, the most worked first, what could not be read last.
    r.modeSlot.resize(s.modes.labels.size());
    std::iota(r.modeSlot.begin(), r.modeSlot.end(), 0u);
    std::sort(r.modeSlot.begin(), r.modeSlot.end(), [&](std::uint32_t a, std::uint32_t b) {
        const bool unknownA = a == s.unknownMode, unknownB = b == s.unknownMode;
        if (unknownA != unknownB)
            return unknownB;
        if (s.modes.counts[a] != s.modes.counts[b])
            return s.modes.counts[a] > s.modes.counts[b];
        return s.modes.labels[a] < s.modes.labels[b];
    });
    for (std::uint32_t slot : r.modeSlot)
        result.modes.push_back({s.modes.labels[slot], s.modes.counts[slot]});

    for (int h = 0; h < kHours; ++h) {
        char label[3];
        std::snprintf(label, sizeof label, "%02d", h);
        result.hours.push_back({label, perHour[static_cast<std::size_t>(h)]});
    }
    if (perHour[kUnknownHour] > 0)
        result.hours.push_back({std::string(kUnknownLabel), perHour[kUnknownHour]});

    r.rows = std::move(s.rows);
    *m_state = State();
    return result;
}

LogStatistics computeStatistics(const LogFile &log, const Period &period)
{
    StatisticsCounter counter(period);
    if (!log.isOpen()) {
        LogStatistics none = counter.take();
        none.status = LogStatus::NotOpen;
        return none;
    }
    LogStatus status = LogStatus::Ok;
    if (log.recordCount() > 0) {
        RecordReader reader;
        status = reader.open(log.path());
        if (status == LogStatus::Ok) {
            counter.reserve(log.recordCount());
            status = reader.forEach(1, log.recordCount(), [&](std::int32_t n, const char *bytes) {
                counter.add(n, bytes);
            });
        }
    }
    LogStatistics result = counter.take();
    result.status = status;
    return result;
}

} // namespace ondelog

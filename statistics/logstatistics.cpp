#include "statistics/logstatistics.h"

#include "geo/calendar.h"
#include "geo/departements.h"
#include "geo/locator.h"
#include "interchange/adifmapping.h"
#include "logbook/record.h"
#include "logbook/text.h"
#include "maintenance/recordreader.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <numeric>
#include <unordered_map>

namespace ondelog {

namespace {

constexpr int kFirstYear = 1960; // the two-digit years of the log name 1960..2059
constexpr int kYears = 100;
constexpr int kHours = 24;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool hasControlBytes(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string_view trimmedField(const char *record, Field f)
{
    const FieldLayout &layout = fieldLayout(f);
    std::string_view text(record + layout.offset, layout.width);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int twoDigitsAt(std::string_view text, std::size_t at)
{
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// The hour of a start time. The log writes hh:mm; what the time check of the
// entry would take is read the same way, but letters or an empty field, which
// that check would read as midnight, are no time at all.
std::optional<int> startHour(std::string_view text)
{
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == ':'; }))
        return std::nullopt;
    const auto time = checkTime(text);
    if (!time)
        return std::nullopt;
    return twoDigitsAt(*time, 0);
}

// What the other station's card field says when the card came back: the day
// it arrived, or the word the ADIF import writes when a report gave no day.
bool isConfirmation(std::string_view text)
{
    if (dateKey(text))
        return true;
    const std::string upper = toUpperCp1252(text);
    return upper == "RE\xC7UE" || upper == "RECUE";
}

// A locator as the map can place it: a sub-square, or a square of four.
std::optional<std::string> mapLocator(std::string_view text)
{
    if (text.size() != 6 && text.size() != 4)
        return std::nullopt;
    std::string locator = toUpperCp1252(text);
    if (locator.size() == 6)
        return isLocatorValid(locator) ? std::optional(locator) : std::nullopt;
    const bool square = locator[0] >= 'A' && locator[0] <= 'R' && locator[1] >= 'A' &&
                        locator[1] <= 'R' && isDigit(locator[2]) && isDigit(locator[3]);
    return square ? std::optional(locator) : std::nullopt;
}

WorkedLocator placeLocator(const std::string &locator)
{
    WorkedLocator worked;
    worked.locator = locator;
    if (locator.size() == 6) {
        worked.latitude = locatorLatitude(locator);
        worked.longitude = locatorLongitude(locator);
    } else {
        // The middle of the square, counted as geo/ counts a sub-square's.
        worked.latitude = (locator[1] - 'A') * 10 - 90 + (locator[3] - '0') + 0.5;
        worked.longitude = 180 - (locator[0] - 'A') * 20 - (locator[2] - '0') * 2 - 1;
    }
    return worked;
}

struct BandSlot
{
    std::string name;
    std::vector<std::int32_t> records;
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
    const int year = yearFromTwoDigits(static_cast<std::uint8_t>(twoDigitsAt(*date, 6)));
    return year * 10000 + twoDigitsAt(*date, 3) * 100 + twoDigitsAt(*date, 0);
}

std::optional<double> frequencyMegahertz(std::string_view text)
{
    const std::size_t separator = text.find_first_of(".,");
    const std::string_view whole = text.substr(0, separator);
    const std::string_view fraction =
        separator == std::string_view::npos ? std::string_view() : text.substr(separator + 1);
    auto digitsOnly = [](std::string_view s) { return std::all_of(s.begin(), s.end(), isDigit); };
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    if (!digitsOnly(whole) || !digitsOnly(fraction))
        return std::nullopt;
    std::string number(whole.empty() ? "0" : whole);
    if (!fraction.empty())
        number.append(".").append(fraction);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size())
        return std::nullopt;
    return value;
}

struct StatisticsCounter::State
{
    std::int32_t contacts = 0;
    std::int32_t leftOut = 0;
    std::array<std::vector<std::int32_t>, kYears> years;
    std::vector<std::int32_t> unknownYear;
    std::vector<BandSlot> bands; // in the order met; sorted by take()
    std::unordered_map<std::string, std::size_t> modeIndex;
    std::vector<Tally> modes;
    std::vector<std::int32_t> unknownMode;
    std::array<std::vector<std::int32_t>, kHours> hours;
    std::vector<std::int32_t> unknownHour;
    std::array<std::vector<AwardContact>, kAwardDepartements> award;
    std::vector<std::int32_t> corsica;
    std::vector<std::int32_t> unknownDepartement;
    std::unordered_map<std::string, std::size_t> locatorIndex;
    std::vector<WorkedLocator> locators;
    std::int32_t unlocated = 0;

    std::uint16_t bandSlot(std::string_view name)
    {
        for (std::size_t i = 0; i < bands.size(); ++i)
            if (bands[i].name == name)
                return static_cast<std::uint16_t>(i);
        bands.push_back({std::string(name), {}});
        return static_cast<std::uint16_t>(bands.size() - 1);
    }
};

StatisticsCounter::StatisticsCounter(const Period &period) : m_period(period), m_state(new State) {}

StatisticsCounter::~StatisticsCounter()
{
    delete m_state;
}

void StatisticsCounter::add(std::int32_t n, const char *record)
{
    State &s = *m_state;
    const auto date = dateKey(trimmedField(record, Field::DQSO));
    if (!m_period.isOpen() && !(date && m_period.contains(*date))) {
        ++s.leftOut;
        return;
    }
    ++s.contacts;

    if (date)
        s.years[static_cast<std::size_t>(*date / 10000 - kFirstYear)].push_back(n);
    else
        s.unknownYear.push_back(n);

    std::uint16_t band;
    const std::string_view frequency = trimmedField(record, Field::FREQ);
    if (const auto mhz = frequencyMegahertz(frequency)) {
        const std::string name = bandOfFrequency(*mhz);
        band = s.bandSlot(name.empty() ? kOtherBandLabel : std::string_view(name));
    } else {
        band = s.bandSlot(kUnknownLabel);
    }
    s.bands[band].records.push_back(n);

    const std::string_view mode = trimmedField(record, Field::MODE);
    if (mode.empty() || hasControlBytes(mode)) {
        s.unknownMode.push_back(n);
    } else {
        std::string key = toUpperCp1252(mode);
        auto [it, added] = s.modeIndex.try_emplace(key, s.modes.size());
        if (added)
            s.modes.push_back({std::move(key), {}});
        s.modes[it->second].records.push_back(n);
    }

    if (const auto hour = startHour(trimmedField(record, Field::HDEB)))
        s.hours[static_cast<std::size_t>(*hour)].push_back(n);
    else
        s.unknownHour.push_back(n);

    const DepartementReading dept = readDepartement(trimmedField(record, Field::DEPT));
    switch (dept.kind) {
    case DepartementReading::Kind::Departement:
        s.award[static_cast<std::size_t>(dept.index)].push_back(
            {n, band, isConfirmation(trimmedField(record, Field::SQSL))});
        break;
    case DepartementReading::Kind::Corsica:
        s.corsica.push_back(n);
        break;
    case DepartementReading::Kind::Unknown:
        s.unknownDepartement.push_back(n);
        break;
    case DepartementReading::Kind::None:
    case DepartementReading::Kind::Overseas:
        break;
    }

    if (auto locator = mapLocator(trimmedField(record, Field::SLOC))) {
        auto [it, added] = s.locatorIndex.try_emplace(*locator, s.locators.size());
        if (added)
            s.locators.push_back(placeLocator(*locator));
        s.locators[it->second].records.push_back(n);
    } else {
        ++s.unlocated;
    }
}

LogStatistics StatisticsCounter::take()
{
    State &s = *m_state;
    LogStatistics result;
    result.contacts = s.contacts;
    result.leftOut = s.leftOut;

    int first = kYears, last = -1;
    for (int y = 0; y < kYears; ++y)
        if (!s.years[static_cast<std::size_t>(y)].empty()) {
            first = std::min(first, y);
            last = y;
        }
    for (int y = first; y <= last; ++y)
        result.years.push_back(
            {std::to_string(kFirstYear + y), std::move(s.years[static_cast<std::size_t>(y)])});
    if (!s.unknownYear.empty())
        result.years.push_back({std::string(kUnknownLabel), std::move(s.unknownYear)});

    // Bands by their place in the spectrum, then what names no band.
    std::vector<std::size_t> order(s.bands.size());
    std::iota(order.begin(), order.end(), 0);
    auto rank = [&](std::size_t i) {
        const std::string &name = s.bands[i].name;
        if (name == kOtherBandLabel)
            return 1e12;
        if (name == kUnknownLabel)
            return 2e12;
        return bandLowerEdge(name).value_or(0.0);
    };
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    std::vector<std::uint16_t> newIndex(s.bands.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newIndex[order[i]] = static_cast<std::uint16_t>(i);
        result.bands.push_back(
            {std::move(s.bands[order[i]].name), std::move(s.bands[order[i]].records)});
    }

    result.modes = std::move(s.modes);
    std::stable_sort(result.modes.begin(), result.modes.end(), [](const Tally &a, const Tally &b) {
        return a.count() != b.count() ? a.count() > b.count() : a.label < b.label;
    });
    if (!s.unknownMode.empty())
        result.modes.push_back({std::string(kUnknownLabel), std::move(s.unknownMode)});

    for (int h = 0; h < kHours; ++h) {
        char label[3];
        std::snprintf(label, sizeof label, "%02d", h);
        result.hours.push_back({label, std::move(s.hours[static_cast<std::size_t>(h)])});
    }
    if (!s.unknownHour.empty())
        result.hours.push_back({std::string(kUnknownLabel), std::move(s.unknownHour)});

    for (std::size_t d = 0; d < s.award.size(); ++d) {
        for (AwardContact &c : s.award[d])
            c.band = newIndex[c.band];
        result.award[d] = std::move(s.award[d]);
    }
    result.corsica = std::move(s.corsica);
    result.unknownDepartement = std::move(s.unknownDepartement);
    result.locators = std::move(s.locators);
    result.unlocated = s.unlocated;

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
        if (status == LogStatus::Ok)
            status = reader.forEach(1, log.recordCount(), [&](std::int32_t n, const char *bytes) {
                counter.add(n, bytes);
            });
    }
    LogStatistics result = counter.take();
    result.status = status;
    return result;
}

// The départements award.

namespace {

// The 96 codes in the order of the département table: Corsica's two halves
// where the single Corsica of old stands, between 19 and 21.
constexpr std::array<std::string_view, kAwardDepartements> kAwardCodes = [] {
    std::array<std::string_view, kAwardDepartements> codes{};
    constexpr std::string_view numbers = "01020304050607080910111213141516171819"
                                         "2A2B"
                                         "2122232425262728293031323334353637383940"
                                         "4142434445464748495051525354555657585960"
                                         "6162636465666768697071727374757677787980"
                                         "818283848586878889909192939495";
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = numbers.substr(2 * i, 2);
    return codes;
}();

} // namespace

std::string_view awardCode(int index)
{
    return kAwardCodes.at(static_cast<std::size_t>(index));
}

std::string awardName(int index)
{
    // The table's rows start with a three-character code: "001", "02A".
    const std::string rowCode = "0" + std::string(awardCode(index));
    for (const std::string &row : deptTable())
        if (row.compare(0, 3, rowCode) == 0)
            return trim(std::string_view(row).substr(3));
    return {};
}

DepartementReading readDepartement(std::string_view field)
{
    using Kind = DepartementReading::Kind;
    if (field.empty())
        return {};
    std::string code = toUpperCp1252(field);
    if (code.size() == 3 && code[0] == '0' && !isDigit(code[2]))
        code.erase(0, 1); // "02A" as the table writes it
    if (code == "2A" || code == "2B")
        return {Kind::Departement, code == "2A" ? 19 : 20};
    if (code.size() > 3 || !std::all_of(code.begin(), code.end(), isDigit))
        return {Kind::Unknown};
    const int number = std::stoi(code);
    if (number == 20)
        return {Kind::Corsica};
    if (number >= 971 && number <= 974)
        return {Kind::Overseas};
    if (number < 1 || number > 95)
        return {Kind::Unknown};
    // 01..19 come first, then 2A and 2B take the place of 20.
    return {Kind::Departement, number < 20 ? number - 1 : number};
}

AwardView awardView(const LogStatistics &statistics, std::optional<std::size_t> band)
{
    AwardView view;
    for (std::size_t d = 0; d < statistics.award.size(); ++d) {
        AwardCell &cell = view.cells[d];
        for (const AwardContact &c : statistics.award[d]) {
            if (band && c.band != *band)
                continue;
            cell.records.push_back(c.record);
            if (c.confirmed)
                cell.state = AwardState::Confirmed;
            else if (cell.state == AwardState::NotWorked)
                cell.state = AwardState::Worked;
        }
        view.worked += cell.state != AwardState::NotWorked;
        view.confirmed += cell.state == AwardState::Confirmed;
    }
    return view;
}

} // namespace ondelog

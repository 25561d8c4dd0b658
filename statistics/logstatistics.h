// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the log holds, at a glance: contacts per year, band, mode and hour of
// the day, the French départements worked and confirmed, and the locators
// worked, all from one read of the log. The numbers of the records behind
// every figure stay at hand, so that a window can list the contacts of a bar or
// of a département without reading anything back out of what it shows.
//
// A field that is empty or cannot be read counts under "inconnu": a damaged
// record is counted like any other, field by field, and never stops the count.

#include "logbook/frequency.h"
#include "logbook/logfile.h"
#include "statistics/departementaward.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

/** Label of the contacts whose field is empty or unreadable. */
inline constexpr std::string_view kUnknownLabel = "inconnu";
/** Label of the contacts whose frequency names no amateur band. */
inline constexpr std::string_view kOtherBandLabel = "autre";

/** One bar of a chart: a label and how many contacts it stands for. */
struct Tally
{
    std::string label; ///< Windows-1252
    std::int32_t count = 0;
};

enum class Chart
{
    Years,
    Bands,
    Modes,
    Hours,
};

/** The day a date names, as yyyymmdd: dd/mm/yy as the log writes it (two-digit
 *  years by the log's century rule), or dd/mm/yyyy for a year 1960-2059.
 *  Nothing when the text is not such a date. */
std::optional<int> dateKey(std::string_view text);

/** Contact dates from `from` to `to`, both included; an end left empty is open. */
struct Period
{
    std::optional<int> from; ///< yyyymmdd, see dateKey()
    std::optional<int> to;

    bool isOpen() const { return !from && !to; }
    bool contains(int key) const { return (!from || key >= *from) && (!to || key <= *to); }
};

/** A locator worked, with the point the map shows it at. */
struct WorkedLocator
{
    std::string locator; ///< six characters, or a four-character square, upper case
    double latitude = 0;
    double longitude = 0; ///< West positive, as geo/ counts it
    std::int32_t contacts = 0;
};

enum class AwardState
{
    NotWorked,
    Worked,    ///< worked, no card back yet
    Confirmed, ///< at least one of its contacts confirmed
};

struct AwardCell
{
    AwardState state = AwardState::NotWorked;
    std::vector<std::int32_t> records; ///< its contacts on the band asked for
};

struct AwardView
{
    std::array<AwardCell, kAwardDepartements> cells;
    int worked = 0;    ///< départements worked, confirmed ones included
    int confirmed = 0; ///< départements confirmed
};

/** The figures of a log. The pass that counts them keeps a few bytes per
 *  contact, from which the record numbers behind a bar or a département, the
 *  award on one band and the locators are drawn when they are asked for. */
class LogStatistics
{
  public:
    LogStatistics();
    ~LogStatistics();
    LogStatistics(LogStatistics &&) noexcept;
    LogStatistics &operator=(LogStatistics &&) noexcept;

    LogStatus status = LogStatus::Ok;
    std::int32_t contacts = 0; ///< contacts counted: those of the period
    /** Contacts left out by the period: dated outside it, or with no readable
     *  date while a period is set. */
    std::int32_t leftOut = 0;

    /** Every year from the first to the last worked (empty years too), then
     *  "inconnu" when a date could not be read. */
    std::vector<Tally> years;
    /** The bands worked in ADIF's order (by frequency), then "autre", then "inconnu". */
    std::vector<Tally> bands;
    /** Modes as logged, letter case aside; the most worked first, "inconnu" last. */
    std::vector<Tally> modes;
    /** "00" to "23", UTC as the log keeps its times, then "inconnu" when needed. */
    std::vector<Tally> hours;

    const std::vector<Tally> &chart(Chart chart) const;
    /** The records behind bar `index` of a chart, in record order. */
    std::vector<std::int32_t> records(Chart chart, std::size_t index) const;

    // The award and the map read their fields when first asked (not from two
    // threads at once).

    /** Contacts whose département field says "20": Corsica, without its half. */
    std::vector<std::int32_t> corsicaRecords() const;
    /** Contacts whose département field names no French département. */
    std::vector<std::int32_t> unknownDepartementRecords() const;
    /** How many contacts hold no locator (empty or unreadable field). */
    std::int32_t unlocated() const;

    /** The award on one band (an index into `bands`), or on all bands. */
    AwardView award(std::optional<std::size_t> band = {}) const;

    /** Each locator once, in the order first worked. */
    std::vector<WorkedLocator> locators() const;
    /** The records of one locator (as locators() spells it), in record order. */
    std::vector<std::int32_t> locatorRecords(std::string_view locator) const;

  private:
    friend class StatisticsCounter;
    struct Rows;
    Rows *m_rows;
};

/** Builds the figures record by record; computeStatistics() feeds it the log. */
class StatisticsCounter
{
  public:
    explicit StatisticsCounter(const Period &period = {});
    ~StatisticsCounter();
    StatisticsCounter(const StatisticsCounter &) = delete;
    StatisticsCounter &operator=(const StatisticsCounter &) = delete;

    /** Room for this many records, for a counter that knows how many will come. */
    void reserve(std::int32_t records);
    /** Counts record `n`, given as its kRecordSize bytes. */
    void add(std::int32_t n, const char *record);
    /** The figures so far, labels sorted; the counter is left empty. */
    LogStatistics take();

  private:
    struct State;
    Period m_period;
    State *m_state;
};

/** The figures of contacts 1..N of the open log, in one read of it. */
LogStatistics computeStatistics(const LogFile &log, const Period &period = {});

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/entrysession.h"

#include "geo/calendar.h"
#include "geo/departements.h"
#include "geo/locator.h"
#include "text/text.h"

#include <utility>

namespace ondelog {

namespace {

// Reports nobody bothered to type are the usual readability 5, strength 9.
constexpr const char *kDefaultReport = "59";

constexpr std::size_t kTimeLength = 5;
constexpr std::size_t kLocatorLength = 6;

} // namespace

DistanceAzimuthTexts measureDistanceAzimuth(DistanceAzimuth &calculator, std::string_view own,
                                            std::string_view other)
{
    calculator.updateTexts(own, other);
    DistanceAzimuthTexts texts{trim(calculator.distanceText()), trim(calculator.azimuthText())};
    calculator.clearTexts();
    return texts;
}

EntrySession::EntrySession(DistanceAzimuth &calculator) : m_calculator(calculator) {}

void EntrySession::prepareNewEntry(std::int32_t recordCount, std::string_view stationLocator)
{
    m_texts = {};
    m_remarksPart.clear();
    m_managerPart.clear();
    m_recordBegun = false;
    m_nextEnabled = false;
    m_cancelEnabled = false;
    m_currentRecordNo = recordCount + 1;
    setStationLocator(stationLocator);
}

void EntrySession::setStationLocator(std::string_view stationLocator)
{
    m_stationLocator = trim(stationLocator);
    // The own-locator field has no Enter step of its own: what it shows is what
    // the contact stores, so its confirmed text is the station locator itself.
    m_texts[static_cast<int>(Field::MLOC)] = m_stationLocator;
}

std::string EntrySession::recordCaption() const
{
    return entryRecordCaption(m_currentRecordNo);
}

std::string EntrySession::shownText(int field) const
{
    if (!isEntryField(field)) {
        return {};
    }
    return m_texts[field];
}

EnterResult EntrySession::enter(int field, std::string_view typedText, const Clock &clock)
{
    EnterResult r;
    if (!isEntryField(field)) {
        return r;
    }
    // Whatever reached the field, it holds only what its keys could have typed.
    const std::string text = trim(filterCp1252(field, trim(typedText)));
    const bool realTime = m_mode == Mode::RealTime;

    // Nothing of a contact means anything without its call sign: back to it,
    // unless the step below moves the focus on.
    if (m_texts[1].empty()) {
        r.focus = FocusMove::toField(1);
    }

    auto take = [&](int f, std::string value) {
        m_texts[f] = std::move(value);
        r.refreshFields.push_back(f);
        r.outcome = EnterOutcome::Taken;
    };

    switch (field) {
    case 1:
        if (!text.empty() && !isCallSignStorable(text)) {
            r.outcome = EnterOutcome::Refused;
            break;
        }
        take(1, text);
        if (text.empty()) {
            r.outcome = EnterOutcome::Ignored;
            break;
        }
        r.showSearchButton = true;
        m_cancelEnabled = true;
        m_recordBegun = true;
        if (realTime) {
            // One reading of the clock for both, so that a call sign confirmed
            // on the stroke of midnight cannot get one day's date and the
            // other day's time.
            const LocalDateTime now = clock.now();
            take(2, shortDateText(now));
            take(3, hourMinuteText(now));
            r.focus = FocusMove::toField(5);
        } else {
            r.focus = FocusMove::toField(2);
        }
        break;

    case 2: {
        // In real time the date comes from the clock; an old deferred date must
        // not replace it.
        if (realTime) {
            break;
        }
        if (text.empty()) {
            if (!m_lastDate.empty()) {
                take(2, m_lastDate);
                r.focus = FocusMove::toField(3);
            }
            break;
        }
        const TypedDate date = checkTypedDate(text);
        if (date.verdict == TypedDate::Verdict::OutOfRange) {
            r.outcome = EnterOutcome::Refused;
        } else if (date.verdict == TypedDate::Verdict::Valid) {
            m_lastDate = date.date;
            take(2, date.date);
            r.focus = FocusMove::toField(3);
        }
        break;
    }

    case 3:
    case 4:
        if (!realTime && text.size() == kTimeLength) {
            if (auto time = checkTime(text)) {
                take(field, *time);
                r.focus = FocusMove::toField(field + 1);
            }
        }
        break;

    case 5:
    case 6: {
        std::string &last = field == 5 ? m_lastFrequency : m_lastMode;
        const std::string value = text.empty() ? last : text;
        if (value.empty()) {
            m_texts[field].clear();
            break;
        }
        last = value;
        take(field, value);
        r.focus = FocusMove::toField(field + 1);
        break;
    }

    case 7:
        take(7, text.empty() ? kDefaultReport : text);
        r.focus = FocusMove::toField(8);
        break;

    case 8:
        take(8, text.empty() ? kDefaultReport : text);
        m_recordBegun = true;
        m_nextEnabled = true;
        r.focus = FocusMove::toField(12);
        break;

    case 12:
        take(12, capitalizeWords(text));
        r.focus = FocusMove::toField(9);
        break;

    case 9:
        take(9, text);
        r.focus = FocusMove::toField(11);
        break;

    case 11: {
        if (text.empty()) {
            take(11, text);
            r.deptCaption = std::string();
            r.focus = FocusMove::toField(10);
            break;
        }
        const std::string code = text.size() == 1 ? "0" + text : text;
        // The table decides what a département is: a code it cannot name would
        // be stored for good with nothing to show for it.
        const auto name = deptName(code);
        if (!name) {
            r.outcome = EnterOutcome::Refused;
            break;
        }
        take(11, code);
        r.deptCaption = *name;
        r.focus = FocusMove::toField(10);
        break;
    }

    case 10:
        take(10, text);
        if (text.empty()) {
            r.distanceAzimuth = DistanceAzimuthTexts{};
            r.focus = FocusMove::toField(13);
        } else if (text.size() != kLocatorLength) {
            // A square without its sub-square is kept as typed, but it cannot
            // be measured: the captions of an earlier locator would lie.
            r.distanceAzimuth = DistanceAzimuthTexts{};
        } else if (isLocatorValid(text)) {
            r.distanceAzimuth = measureDistanceAzimuth(m_calculator, m_stationLocator, text);
            r.focus = FocusMove::toField(13);
        } else {
            m_texts[10].clear();
            r.refreshFields.clear();
            r.distanceAzimuth = DistanceAzimuthTexts{};
            r.outcome = EnterOutcome::Refused;
        }
        break;

    case kRemarksField:
        m_remarksPart = text;
        take(kRemarksField, text);
        m_texts[0] = buildInfo(m_remarksPart, m_managerPart);
        r.focus = FocusMove::toField(14);
        break;

    case 14:
        take(14, text);
        r.focus = FocusMove::toField(15);
        break;

    case 15:
        take(15, text);
        r.focus = FocusMove::toField(kManagerField);
        break;

    case kManagerField:
        m_managerPart = text;
        take(kManagerField, text);
        m_texts[0] = buildInfo(m_remarksPart, m_managerPart);
        if (!m_texts[1].empty() && m_recordBegun) {
            // "Suivant" cannot take the focus while it is disabled: the
            // reports are what is still to be confirmed then.
            r.focus = m_nextEnabled ? FocusMove::toNextButton() : FocusMove::toField(7);
        } else {
            r.focus = FocusMove::toField(1);
        }
        break;

    default:
        // The own locator changes only through the change-locator panel.
        break;
    }

    if (r.outcome == EnterOutcome::Refused) {
        // "ERREUR" is shown in this field: the operator types again right there.
        r.focus = FocusMove::stay();
    }
    if (r.focus.kind == FocusMove::Kind::Field && r.focus.field == field) {
        r.focus = FocusMove::stay();
    }
    return r;
}

FocusGainResult EntrySession::focusGained(int field) const
{
    FocusGainResult r;
    if (!isEntryField(field)) {
        return r;
    }
    if (field != 1 && m_texts[1].empty() && m_recordBegun) {
        r.backToCallSign = true;
        return r;
    }
    // A value already confirmed is shown as it is: proposing the remembered one
    // over it would let a plain Enter replace it.
    if (!m_texts[field].empty()) {
        return r;
    }
    switch (field) {
    case 2:
        if (m_mode == Mode::Deferred && !m_lastDate.empty()) {
            r.proposedText = m_lastDate;
            r.selectProposal = true;
        }
        break;
    case 5:
    case 6: {
        const std::string &last = field == 5 ? m_lastFrequency : m_lastMode;
        if (!last.empty()) {
            r.proposedText = last;
            r.selectProposal = true;
        }
        break;
    }
    case 7:
    case 8:
        r.proposedText = kDefaultReport;
        break;
    default:
        break;
    }
    return r;
}

bool EntrySession::hasConfirmedInput() const
{
    for (int field = 1; field <= kEntryFieldCount; ++field) {
        if (field != static_cast<int>(Field::MLOC) && !m_texts[field].empty()) {
            return true;
        }
    }
    return false;
}

bool EntrySession::isUnfinished() const
{
    return m_recordBegun && !m_nextEnabled && !m_texts[1].empty() &&
           !m_texts[static_cast<int>(Field::FREQ)].empty() &&
           !m_texts[static_cast<int>(Field::MODE)].empty();
}

std::optional<QsoRecord> EntrySession::completedRecordToStore(const Clock &clock)
{
    if (m_texts[1].empty()) {
        return std::nullopt;
    }
    for (const Field report : {Field::SRST, Field::MRST}) {
        std::string &text = m_texts[static_cast<int>(report)];
        if (text.empty()) {
            text = kDefaultReport;
        }
    }
    m_recordBegun = true;
    m_nextEnabled = true;
    return recordToStore(clock);
}

std::optional<QsoRecord> EntrySession::recordToStore(const Clock &clock)
{
    // A contact without a call sign is never stored: the received report alone
    // enables "Suivant", the call sign may still be missing or emptied since.
    if (!m_recordBegun || !m_nextEnabled || m_texts[1].empty()) {
        return std::nullopt;
    }
    if (m_mode == Mode::RealTime) {
        m_texts[static_cast<int>(Field::HFIN)] = hourMinuteText(clock.now());
    }
    m_texts[static_cast<int>(Field::MLOC)] = m_stationLocator;
    m_texts[0] = buildInfo(m_remarksPart, m_managerPart);
    return recordFromFieldTexts(m_texts);
}

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/recordedit.h"

#include "geo/calendar.h"
#include "geo/departements.h"
#include "geo/locator.h"
#include "logbook/entryfields.h"
#include "text/text.h"

#include <utility>

namespace ondelog {

namespace {

constexpr std::size_t kTimeLength = 5;

} // namespace

RecordDisplay displayRecord(std::int32_t recordNo, const QsoRecord &record,
                            DistanceAzimuth &calculator)
{
    RecordDisplay d;
    d.caption = displayRecordCaption(recordNo);
    d.texts = fieldTextsFromRecord(record);
    const std::string &own = d.texts[static_cast<int>(Field::MLOC)];
    const std::string &other = d.texts[static_cast<int>(Field::SLOC)];
    // Two blank locators are equal too, but a contact without the other
    // station's locator has no distance, not a distance of zero.
    if (!other.empty() && own == other) {
        d.labels = {"0 Km", "..."};
    } else if (isLocatorValid(other) && isLocatorValid(own)) {
        // The calculator would keep the station of the contact shown before
        // for an own locator it cannot read: better no distance than a wrong one.
        d.labels = measureDistanceAzimuth(calculator, own, other);
    }
    const std::string &dept = d.texts[static_cast<int>(Field::DEPT)];
    if (!dept.empty()) {
        d.deptCaption = deptName(dept).value_or(std::string());
    }
    d.hasCallSign = !d.texts[static_cast<int>(Field::CSGN)].empty();
    return d;
}

void RecordEdit::load(std::int32_t recordNo, const QsoRecord &stored)
{
    m_recordNo = recordNo;
    m_stored = stored;
    m_texts = fieldTextsFromRecord(stored);
    m_pendingChanges = 0;
}

std::string RecordEdit::confirmationCaption() const
{
    return m_pendingChanges > 0 ? kModifyCaption : kDeleteCaption;
}

std::string RecordEdit::storedCallSign() const
{
    return m_stored.field(Field::CSGN);
}

std::string RecordEdit::shownText(int field) const
{
    if (!isEntryField(field)) {
        return {};
    }
    return m_texts[field];
}

QsoRecord RecordEdit::recordToWrite() const
{
    return recordFromFieldTexts(m_texts);
}

EditResult RecordEdit::enter(int field, std::string_view typedText)
{
    EditResult r;
    if (!isEntryField(field)) {
        r.askConfirmation = m_pendingChanges > 0;
        return r;
    }
    const std::string text = trim(filterCp1252(field, trim(typedText)));
    const std::string &current = m_texts[field];

    auto take = [&](std::string value) {
        m_texts[field] = std::move(value);
        ++m_pendingChanges;
        r.outcome = EditOutcome::Taken;
    };
    auto refuse = [&] { r.outcome = EditOutcome::Refused; };

    switch (field) {
    case 1:
        if (text.empty()) {
            break;
        }
        if (!isCallSignStorable(text)) {
            refuse();
        } else {
            take(text);
        }
        break;

    case 2: {
        const TypedDate date = checkTypedDate(text);
        if (date.verdict == TypedDate::Verdict::OutOfRange) {
            refuse();
        } else if (date.verdict == TypedDate::Verdict::Valid) {
            take(date.date);
        }
        break;
    }

    case 3:
    case 4:
        if (text.size() == kTimeLength) {
            if (auto time = checkTime(text)) {
                take(*time);
            }
        }
        break;

    case 5:
    case 6:
    case 7:
    case 8:
        if (!text.empty()) {
            take(text);
        }
        break;

    case 11: {
        if (text.empty()) {
            if (!current.empty()) {
                take(text);
                r.deptCaption = std::string();
            }
            break;
        }
        const std::string code = text.size() == 1 ? "0" + text : text;
        // The same table as at entry decides, so a stored record can never hold
        // a code that entry would have refused.
        const auto name = deptName(code);
        if (!name) {
            refuse();
            break;
        }
        take(code);
        r.deptCaption = *name;
        break;
    }

    case 10:
        if (text.empty()) {
            if (!current.empty()) {
                take(text);
            }
        } else if (isLocatorValid(text)) {
            take(text);
        } else {
            refuse();
        }
        break;

    case 16:
        if (text.empty()) {
            break;
        }
        if (isLocatorValid(text)) {
            take(text);
        } else {
            refuse();
        }
        break;

    default: // 9, 12, 13, 14, 15, 17: a value may be emptied, but nothing from nothing
        if (text.empty() && current.empty()) {
            break;
        }
        take(field == static_cast<int>(Field::SNOM) ? capitalizeWords(text) : text);
        if (field == kRemarksField || field == kManagerField) {
            m_texts[0] = buildInfo(m_texts[kRemarksField], m_texts[kManagerField]);
        }
        break;
    }

    r.askConfirmation = m_pendingChanges > 0;
    return r;
}

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stored contact in the record view: what its fields and labels show, and
// the changes the operator makes to it in place before confirming them with
// "&Oui" (or dropping them with "&Non", which shows the record as stored).
// Nothing reaches the log file from here: the window writes recordToWrite()
// back to the same record number once the operator confirms.
//
// Texts are Windows-1252 bytes.

#include "logbook/entrysession.h"
#include "logbook/record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

class DistanceAzimuth;

/** Caption of the confirmation frame when changes are pending. */
inline constexpr const char *kModifyCaption = "Modifier la fiche";
/** Caption of the confirmation frame for a deletion. */
inline constexpr const char *kDeleteCaption = " Effacer la Fiche ";

/** What the record view shows for one stored contact. */
struct RecordDisplay
{
    std::string caption;         ///< " Fiche N°12 "
    FieldTexts texts;            ///< what fields 1..17 show ([13] remarks, [17] manager)
    DistanceAzimuthTexts labels; ///< "0 Km" and "..." for equal locators; blank if unmeasurable
    std::string deptCaption;     ///< the département's name, "" when none
    /** The contact has a call sign: "Voir contacts réalisés" may be shown (unless
     *  the contacts panel is already open). */
    bool hasCallSign = false;
};

/**
 * The texts of record `recordNo` as the record view shows them. Equal own and
 * other locators show "0 Km" and "..."; otherwise two valid locators are
 * measured through `calculator`. Blank captions when either locator is missing
 * or invalid.
 */
RecordDisplay displayRecord(std::int32_t recordNo, const QsoRecord &record,
                            DistanceAzimuth &calculator);

/** How Enter ended in a field of a shown record. */
enum class EditOutcome
{
    Taken,     ///< the value replaces the field's text; one more change pending
    Unchanged, ///< nothing changes: the field returns to the window colour
    Refused,   ///< show kErrorText for one second, then clear the field; focus stays
};

struct EditResult
{
    EditOutcome outcome = EditOutcome::Unchanged;
    /** New caption of the département label, when the département was taken. */
    std::optional<std::string> deptCaption;
    /** Changes are pending: the frame asks "Modifier la fiche". */
    bool askConfirmation = false;
};

/** Changes to one shown record, counted until they are written or dropped. */
class RecordEdit
{
  public:
    /** The record just displayed (read from the file as record `recordNo`):
     *  nothing pending. */
    void load(std::int32_t recordNo, const QsoRecord &stored);

    /** Enter in field `field` (1..17) holding `typedText` (trimmed here). */
    EditResult enter(int field, std::string_view typedText);

    /** Number of values taken since load(); 0 means the frame asks for a deletion. */
    int pendingChanges() const { return m_pendingChanges; }
    /** kModifyCaption with changes pending, else kDeleteCaption. */
    std::string confirmationCaption() const;

    std::int32_t recordNo() const { return m_recordNo; }
    /** Trimmed call sign of the record as stored (the confirmation frame names it). */
    std::string storedCallSign() const;
    /** What field `field` (1..17) shows when it does not hold the focus. */
    std::string shownText(int field) const;
    const FieldTexts &fieldTexts() const { return m_texts; }

    /** The record to write back as recordNo() on "&Oui". */
    QsoRecord recordToWrite() const;

  private:
    std::int32_t m_recordNo = 0;
    QsoRecord m_stored;
    FieldTexts m_texts;
    int m_pendingChanges = 0;
};

} // namespace ondelog

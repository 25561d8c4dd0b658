// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Typing new contacts: what the entry panel remembers from one contact to the
// next, what Enter does in each field and where the focus goes next, and the
// record that "Suivant" or "Terminer" stores. The window only forwards events
// here and shows the results; it decides nothing itself.
//
// A value counts only once Enter confirms it in its field: the texts kept here
// are the confirmed ones, and a field that loses the focus shows its confirmed
// text again, dropping whatever was typed without Enter.
//
// Texts are Windows-1252 bytes, as typed through filterKey() and trimmed.

#include "logbook/entryfields.h"
#include "logbook/record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

class Clock;
class DistanceAzimuth;

/** Where the focus goes after a step. */
struct FocusMove
{
    enum class Kind
    {
        Stay,       ///< the focus stays where it is
        Field,      ///< to entry field `field`
        NextButton, ///< to "Suivant"
    };
    Kind kind = Kind::Stay;
    int field = 0; ///< 1..17 when kind is Field

    static FocusMove stay() { return {}; }
    static FocusMove toField(int f) { return {Kind::Field, f}; }
    static FocusMove toNextButton() { return {Kind::NextButton, 0}; }
    bool operator==(const FocusMove &) const = default;
};

/** The two captions of the distance and azimuth labels ("346 Km", "330°"). */
struct DistanceAzimuthTexts
{
    std::string distance;
    std::string azimuth;
    bool operator==(const DistanceAzimuthTexts &) const = default;
};

/** Distance and azimuth from `own` to `other`, captions trimmed. The
 *  calculator's own texts are left blank, as every caller must leave them. */
DistanceAzimuthTexts measureDistanceAzimuth(DistanceAzimuth &calculator, std::string_view own,
                                            std::string_view other);

/** How Enter ended in a field. */
enum class EnterOutcome
{
    Taken,   ///< the value was confirmed (possibly replaced by a default)
    Ignored, ///< nothing confirmed: wrong length, invalid date or time, empty value
    Refused, ///< show kErrorText in the field for one second, then clear it; focus stays
};

/** What the window does after Enter in an entry field. */
struct EnterResult
{
    EnterOutcome outcome = EnterOutcome::Ignored;
    FocusMove focus;
    /** Fields whose text must be set to EntrySession::shownText() (the field
     *  itself when its value changed, the date and start time in real time). */
    std::vector<int> refreshFields;
    /** Show "Voir contacts réalisés" (BtActiveRech): a call sign was confirmed. */
    bool showSearchButton = false;
    /** New caption of the département label, when it changes. */
    std::optional<std::string> deptCaption;
    /** New captions of the distance and azimuth labels, when they change. */
    std::optional<DistanceAzimuthTexts> distanceAzimuth;
};

/** What a field does when it gets the focus during entry. */
struct FocusGainResult
{
    /** The focus must go back to the call sign at once (a contact was begun
     *  without one); nothing else applies then. */
    bool backToCallSign = false;
    /** Text to put into the field, caret at its end (a proposed value). */
    std::optional<std::string> proposedText;
    /** The proposed text is selected whole, so that typing replaces it and
     *  Enter alone confirms it (the remembered date, frequency and mode). The
     *  reports keep the caret after "59", so that "9" makes "599". */
    bool selectProposal = false;
};

/** The entry of new contacts, from "&Nouveau QSO" to "Terminer". One object
 *  lives as long as the window: the remembered date, frequency and mode are
 *  offered again for every following contact until the program ends. */
class EntrySession
{
  public:
    enum class Mode
    {
        RealTime, ///< date and times from the clock (" Réel")
        Deferred, ///< date and times typed and checked ("Différé")
    };

    /** `calculator` measures the distance and azimuth of a confirmed locator;
     *  the record view shares it (it keeps the last points between calls). */
    explicit EntrySession(DistanceAzimuth &calculator);

    /**
     * Starts a new contact (also after "Suivant" and for "Annuler"): all texts
     * emptied, the contact not begun, "Suivant" and "Annuler" disabled, the own
     * locator field showing `stationLocator`, the contact to be written as
     * record `recordCount` + 1. The mode and the remembered values are kept.
     */
    void prepareNewEntry(std::int32_t recordCount, std::string_view stationLocator);

    /** The log grew under the contact being typed (a contact another program
     *  logged): this one will be written after its `recordCount` contacts. */
    void followRecordCount(std::int32_t recordCount) { m_currentRecordNo = recordCount + 1; }

    Mode mode() const { return m_mode; }
    /** The option buttons; the window then gives the focus to the call sign. */
    void setMode(Mode mode) { m_mode = mode; }

    /** Enter in field `field` (1..17) holding `typedText` (trimmed here). */
    EnterResult enter(int field, std::string_view typedText, const Clock &clock);

    /** A field gets the focus. */
    FocusGainResult focusGained(int field) const;

    /** The text field `field` shows when it does not hold the focus: its confirmed
     *  value (the remarks and manager for 13 and 17, the own locator for 16). */
    std::string shownText(int field) const;

    /** The station locator changed through the change-locator panel: the own
     *  locator field shows it, the contact stores it and distances are measured
     *  from it. The end marker written after the contact carries it too. */
    void setStationLocator(std::string_view stationLocator);
    const std::string &stationLocator() const { return m_stationLocator; }

    /**
     * The contact to write at currentRecordNo() for "Suivant" or "Terminer", or
     * nothing when nothing is to be written: the received report has not been
     * confirmed ("Suivant" disabled), or no call sign is confirmed. In real time
     * the end time is read from `clock` now; the own locator is the one shown.
     * The window writes it over the end marker, the end marker after it, then
     * calls prepareNewEntry() (or closes the panel); on a failed write the
     * contact stays here, untouched but for that end time.
     */
    std::optional<QsoRecord> recordToStore(const Clock &clock);

    /** Something was confirmed in the contact being typed (the own locator
     *  aside): closing the program must not drop it without asking. */
    bool hasConfirmedInput() const;
    /** The contact has its call sign, frequency and mode but lacks its received
     *  report, so "Terminer" would drop it: the operator is asked instead. */
    bool isUnfinished() const;
    /**
     * The contact as stored when the operator answers that it is to be kept
     * although unfinished: a report not confirmed gets the usual "59", as Enter
     * in its empty field would give. Nothing without a call sign.
     */
    std::optional<QsoRecord> completedRecordToStore(const Clock &clock);

    /** "Suivant" is green and enabled (light orange and disabled otherwise). */
    bool isNextEnabled() const { return m_nextEnabled; }
    /** "Annuler" is enabled: a call sign was confirmed. */
    bool isCancelEnabled() const { return m_cancelEnabled; }
    bool isRecordBegun() const { return m_recordBegun; }
    std::int32_t currentRecordNo() const { return m_currentRecordNo; }
    /** " Charger fiche N° " followed by currentRecordNo(). */
    std::string recordCaption() const;

    /** The confirmed texts, indexed as FieldTexts ([0] the whole INFO). */
    const FieldTexts &fieldTexts() const { return m_texts; }
    const std::string &fieldText(int index) const { return m_texts.at(index); }

    const std::string &lastDate() const { return m_lastDate; }
    const std::string &lastFrequency() const { return m_lastFrequency; }
    const std::string &lastMode() const { return m_lastMode; }

  private:
    DistanceAzimuth &m_calculator;
    Mode m_mode = Mode::RealTime;
    FieldTexts m_texts;
    std::string m_remarksPart;
    std::string m_managerPart;
    std::string m_stationLocator;
    std::string m_lastDate;
    std::string m_lastFrequency;
    std::string m_lastMode;
    std::int32_t m_currentRecordNo = 1;
    bool m_recordBegun = false;
    bool m_nextEnabled = false;
    bool m_cancelEnabled = false;
};

} // namespace ondelog

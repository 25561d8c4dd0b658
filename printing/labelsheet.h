// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet of 16 self-adhesive QSL labels. Each slot is free, withdrawn (its
// label is torn off or spoilt, so it is skipped) or occupied by a confirmation
// waiting to be printed. The labels live in "FeuilleQSL.txt" in the program
// folder: despite its name, 16 fixed records of 106 bytes, no line ends. Only
// occupied and free survive a restart; withdrawn is the operator's note for the
// sheet in the printer.
//
// Each step moves the MQSL field of the contact a label confirms: empty, then
// "En cours" once the label is stored, then the date once the printout is
// checked; back to empty when the label is deleted. The contact is found by
// what the label says of it, its call sign, date and start time, wherever a
// sort, a deletion, a merge or an import has moved it since; the record number
// the label also carries only chooses among contacts logged twice. A label
// whose contact the log no longer holds never writes over another one.

#include "logbook/logfile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

inline constexpr int kLabelCount = 16;
inline constexpr std::size_t kLabelRecordSize = 106;
inline constexpr const char *kLabelSheetFileName = "FeuilleQSL.txt";
/** The call sign of a free label record. */
inline constexpr const char *kFreeLabelMark = "***";
/** MQSL of a contact whose label waits to be printed. */
inline constexpr const char *kLabelPendingMark = "En cours";

/** Fields of a label record, in record order. */
enum class LabelField : int
{
    CallSign = 1, ///< the other station, 15 bytes at offset 0 ("***" when free)
    From,         ///< the station that confirms, 15 at 15
    Manager,      ///< QSL manager of the other station, 15 at 30
    Routing,      ///< "DIRECT", "BUREAU" or free text, 15 at 45
    Date,         ///< 8 at 60
    Time,         ///< 5 at 68
    Frequency,    ///< 10 at 73
    Rst,          ///< report given, 8 at 83
    Mode,         ///< 5 at 91
    QsoNumber,    ///< record number of the contact in the log, 10 at 96
};

/** One label: 106 bytes of Windows-1252 text in ten fixed-width fields. */
class LabelRecord
{
  public:
    /** A free record: "***" then blanks. */
    LabelRecord();
    /** The record held by `bytes`; what is missing is blank. */
    static LabelRecord fromBytes(std::string_view bytes);

    /** Field trimmed of blanks. */
    std::string field(LabelField f) const;
    /** Stores `value` padded with blanks or cut to the field's width. */
    void setField(LabelField f, std::string_view value);

    /** True for a free record: its call sign is "***", or empty. */
    bool isFree() const;

    const std::string &bytes() const { return m_bytes; }

  private:
    std::string m_bytes;
};

enum class SlotState
{
    Free,
    Withdrawn,
    Occupied,
};

/** What became of the contact a label names. */
enum class ContactUpdate
{
    Written,   ///< its MQSL was written
    NoContact, ///< the label names no contact of the log: the log is untouched
    Failed,    ///< writing the log failed (see the status)
};

struct ContactResult
{
    ContactUpdate update = ContactUpdate::Written;
    LogStatus status = LogStatus::Ok;
    std::int32_t recordNo = 0; ///< the contact named by the label (0 when none)
};

/** True when `contact` is the one `label` names: the same call sign (in any
 *  letter case), date and start time. */
bool labelNames(const LabelRecord &label, const QsoRecord &contact);

struct LabelContacts
{
    LogStatus status = LogStatus::Ok; ///< of reading the log
    /** For each label, the record number of its contact; 0 when the log holds none. */
    std::vector<std::int32_t> recordNos;
};

/** The contacts `labels` name, found in one reading of the log. Among several
 *  contacts a label names (a contact logged twice), the first whose MQSL is
 *  `state` wins, that at the label's record number before the others; then,
 *  the same way, any of them. */
LabelContacts findLabelContacts(LogFile &log, const std::vector<LabelRecord> &labels,
                                std::string_view state);

/** Writes `value` into MQSL of the contact `label` names, when the log holds it;
 *  `state` is the MQSL that contact should have now (see findLabelContacts). */
ContactResult updateContactQsl(LogFile &log, const LabelRecord &label, std::string_view value,
                               std::string_view state = kLabelPendingMark);

class LabelSheet
{
  public:
    explicit LabelSheet(std::filesystem::path file);

    const std::filesystem::path &path() const { return m_path; }

    /** Reads the sheet from its file: a missing file is created with 16 free
     *  labels, a short one is completed with free labels. Every slot is then
     *  free or occupied. On failure every slot is free and the status tells why. */
    LogStatus load();
    bool isLoaded() const { return m_loaded; }

    /** Slot n, 1..16. */
    SlotState state(int n) const;
    /** First free slot from `start` to 16. */
    std::optional<int> findFree(int start = 1) const;
    bool hasOccupied() const;

    /** A free slot is withdrawn, a withdrawn one freed; an occupied one stays. */
    void toggleWithdrawn(int n);
    /** Every withdrawn slot is free again. */
    void restoreWithdrawn();

    /** Label record n as stored. */
    std::optional<LabelRecord> read(int n) const;

    struct StoreResult
    {
        std::optional<int> slot;          ///< where the label went; none when no slot is free
        LogStatus status = LogStatus::Ok; ///< of the label file
        ContactResult contact;            ///< the contact's MQSL, "En cours"
    };
    /** Stores `label` in the first free slot and marks its contact "En cours".
     *  A label that could not be written leaves the slot free and the log
     *  untouched; so does a log opened for reading only (ReadOnly, nothing stored). */
    StoreResult store(const LabelRecord &label, LogFile &log);

    struct RemoveResult
    {
        LogStatus status = LogStatus::Ok; ///< of the label file
        ContactResult contact;            ///< the contact's MQSL, emptied
    };
    /** Deletes label n: its contact's MQSL is emptied, the slot is free. When
     *  the contact cannot be written, the label stays. */
    RemoveResult remove(int n, LogFile &log);

    struct ConfirmedLabel
    {
        int slot = 0;
        std::string callSign;
        LogStatus status = LogStatus::Ok; ///< of the label file
        ContactResult contact;            ///< the contact's MQSL, the date
        bool freed = false;
    };
    /** The printout was perfect: every occupied label's contact gets `date` in
     *  MQSL and the label is freed; withdrawn slots stay withdrawn. A label whose
     *  contact cannot be written stays occupied, to be confirmed again. */
    std::vector<ConfirmedLabel> confirmPrinted(LogFile &log, std::string_view date);

  private:
    LogStatus write(int n, const LabelRecord &label);

    std::filesystem::path m_path;
    std::array<SlotState, kLabelCount + 1> m_states{}; // [0] unused
    bool m_loaded = false;
};

} // namespace ondelog

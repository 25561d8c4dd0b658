// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When two records are the same contact. An import skips a contact the log
// already holds and brings a confirmation into it; a program that logs
// contacts as they are made does not log one twice. Both use this one rule.
//
// A contact is the same when its call sign (in any letter case), its date,
// its start time and its band agree. The band is read from the frequency; a
// contact without one (no frequency, or one outside every band) agrees with
// any band. The mode is never compared: programs spell it differently (SSB
// and USB), and a station worked twice in the same minute on the same band is
// one contact. The log's own duplicate search keeps its stricter rule.

#include "logbook/record.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace ondelog {

/** True when `a` and `b` are the same contact (see above). */
bool isSameContact(const QsoRecord &a, const QsoRecord &b);

/** The contacts of a log, to find the one a record is the same contact as
 *  without keeping the records: a few bytes each (a 64-bit digest of the call
 *  sign, date and start time, and the band). */
class ContactIndex
{
  public:
    void reserve(std::size_t contacts);
    /** Adds a contact at the next position (0 for the first added). */
    void add(const QsoRecord &record);
    /** The position of the contact added that `record` is the same contact
     *  as: one on the same band before one without a band, the first added
     *  among equals. Nothing when there is none. */
    std::optional<std::uint32_t> find(const QsoRecord &record) const;
    std::size_t size() const { return m_bands.size(); }

  private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    std::unordered_map<std::uint64_t, std::uint32_t> m_last; ///< digest -> last position
    std::vector<std::uint32_t> m_previous; ///< position -> earlier one of the same digest
    std::vector<std::uint8_t> m_bands;     ///< position -> band, 0 for none
};

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A contact logged in WSJT-X or JTDX, as the log will hold it. Both messages
// that carry one become ADIF fields first and then go through the mapping of
// the ADIF import (contactFromAdif), so that a contact reads the same whether
// it came as "Logged ADIF", as "QSO Logged" or in a file.

#include "interchange/adifmapping.h"
#include "station/networkmessage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

/** A frequency in MHz as the log writes it: a point, no trailing zeros, cut to
 *  the width of FREQ (14074000 -> "14.074", 10368100000 -> "10368.1"). */
std::string frequencyText(std::uint64_t hertz);
/** The same form of a frequency written in MHz ("14.074000" -> "14.074"), or
 *  nothing when the text is not digits with at most one point. */
std::optional<std::string> frequencyText(std::string_view megahertz);

/** The ADIF fields of a "QSO Logged" message (values UTF-8, as ADIF files hold
 *  them). The start is the message's time on, or its time off when it has none. */
AdifRecord adifFromQsoLogged(const QsoLoggedMessage &message);
/** The first record of a "Logged ADIF" message's text, or nothing when the
 *  text holds no whole record. */
std::optional<AdifRecord> adifFromLoggedAdif(const LoggedAdifMessage &message);

struct ReceivedContact
{
    std::string programUtf8; ///< the client's id, made fit for a line of text
    NetworkMessageType source = NetworkMessageType::LoggedAdif;
    /** The record and, when it cannot be written, why (ADIF import rules). */
    ImportedContact contact;
    /** The station the contact was made from (STATION_CALLSIGN, else OPERATOR),
     *  Windows-1252 in upper case; "" when the message does not say. */
    std::string stationCall;
};

/**
 * The contact a message brings, or nothing (another type, or a "Logged ADIF"
 * whose text holds no readable record). `stationLocator` fills MLOC when the
 * message has no own locator, or only its four-character square. The
 * frequency is written in the log's form either way.
 */
std::optional<ReceivedContact> receivedContact(const NetworkMessage &message,
                                               std::string_view stationLocator);

/** Text from the network (a client's id, a mode) as one short line: control
 *  characters dropped, at most 32 characters. */
std::string shortLine(std::string_view utf8);

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The UDP messages that WSJT-X and JTDX send to a logger ("NetworkMessage").
// Each datagram is one message in Qt's QDataStream encoding, big-endian: the
// magic number 0xadbccbda, a schema number (2: Qt 5.2 encoding, 3: Qt 5.4;
// the types read here are encoded alike in both), the message type, the
// client's id, then the fields of that type in a fixed order.
//
// A datagram may come from any program on the machine or the network, so
// nothing in it is trusted: every length is checked against what is left,
// every text must be UTF-8, and whatever fails is dropped with its reason
// before anything else sees it. Fields after the ones read here are ignored
// (the protocol appends new fields at the end), and so are the other types.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace ondelog {

inline constexpr std::uint32_t kNetworkMessageMagic = 0xadbccbda;

/** The message types a logger reads; the protocol numbers them so. */
enum class NetworkMessageType : std::uint32_t
{
    Heartbeat = 0,
    Status = 1,
    QsoLogged = 5,
    Close = 6,
    LoggedAdif = 12,
};

/** A moment as the messages give it, in UTC. */
using MessageTime = std::chrono::sys_time<std::chrono::milliseconds>;

/** Texts are UTF-8, checked; a null text of the protocol reads as "". */
struct HeartbeatMessage
{
    std::string id;                             ///< the client: "WSJT-X", "JTDX"...
    std::optional<std::uint32_t> maximumSchema; ///< absent from schema 2 clients
    std::string version;
    std::string revision;
};

struct StatusMessage
{
    std::string id;
    std::uint64_t dialFrequencyHz = 0;
    std::string mode; ///< "FT8", "FT4", "JT65"...
    std::string dxCall;
    std::string submode; ///< "" unless the mode has one ("A", "B"...)
    bool transmitting = false;
};

struct QsoLoggedMessage
{
    std::string id;
    std::optional<MessageTime> timeOff; ///< nothing for a null date or time
    std::string dxCall;
    std::string dxGrid;
    std::uint64_t frequencyHz = 0; ///< the dial frequency (JTDX) or the Tx frequency (WSJT-X)
    std::string mode;
    std::string reportSent;
    std::string reportReceived;
    std::string txPower;
    std::string comments;
    std::string name;
    std::optional<MessageTime> timeOn; ///< absent from the oldest clients
    std::string operatorCall;
    std::string myCall;
    std::string myGrid;
    std::string exchangeSent;
    std::string exchangeReceived;
    std::string propagationMode;
};

struct CloseMessage
{
    std::string id;
};

struct LoggedAdifMessage
{
    std::string id;
    std::string adifText; ///< an ADIF file (header, one record), UTF-8
};

using NetworkMessage = std::variant<HeartbeatMessage, StatusMessage, QsoLoggedMessage, CloseMessage,
                                    LoggedAdifMessage>;

/** What became of a datagram. Everything after OtherType is dropped. */
enum class DecodeOutcome
{
    Decoded,       ///< one of the types above
    OtherType,     ///< a sound header of a type a logger does not read (decodes...)
    WrongMagic,    ///< not a NetworkMessage at all
    UnknownSchema, ///< neither schema 2 nor 3
    Truncated,     ///< ends inside a field (or before the client's id)
    LengthPastEnd, ///< a text's length runs past the end of the datagram
    BadUtf8,       ///< a text that is not UTF-8
    BadTime,       ///< a date or time out of range, or given in a named time zone
    Count
};

struct DecodeResult
{
    DecodeOutcome outcome = DecodeOutcome::Truncated;
    std::optional<NetworkMessage> message; ///< set for Decoded only
};

/** Reads one datagram. Never reads outside `datagram`, whatever its bytes. */
DecodeResult decodeNetworkMessage(std::string_view datagram);

/** The client's id of any message. */
const std::string &messageId(const NetworkMessage &message);

/** How many datagrams came to each outcome since the listener started. */
class DatagramTally
{
  public:
    void add(DecodeOutcome outcome) { ++m_counts[static_cast<std::size_t>(outcome)]; }
    std::uint64_t count(DecodeOutcome outcome) const
    {
        return m_counts[static_cast<std::size_t>(outcome)];
    }
    /** Datagrams dropped, whatever the reason (other types are not dropped). */
    std::uint64_t dropped() const;

  private:
    std::uint64_t m_counts[static_cast<std::size_t>(DecodeOutcome::Count)] = {};
};

} // namespace ondelog

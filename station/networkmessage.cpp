// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/networkmessage.h"

#include "interchange/adifreader.h"

#include <ctime>
#include <limits>
#include <numeric>

namespace ondelog {

namespace {

// Julian day of 1970-01-01, the epoch of the system clock.
constexpr std::int64_t kJulianDayOfEpoch = 2440588;
// Dates outside these years are taken for garbage rather than contacts.
constexpr std::int64_t kFirstJulianDay = 2415021; // 1900-01-01
constexpr std::int64_t kLastJulianDay = 2524594;  // 2199-12-31
constexpr std::uint32_t kMillisecondsPerDay = 86'400'000;
constexpr std::uint32_t kNullLength = 0xFFFFFFFF;

enum class TimeSpec : std::uint8_t
{
    LocalTime = 0,
    Utc = 1,
    OffsetFromUtc = 2,
};

/** Reads fields in order; the first failure is kept and every later read fails. */
class FieldReader
{
  public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    bool failed() const { return m_failure.has_value(); }
    DecodeOutcome failure() const { return m_failure.value_or(DecodeOutcome::Decoded); }
    /** Nothing left: the fields a client of an older version does not send. */
    bool atEnd() const { return !failed() && m_pos == m_bytes.size(); }

    template <typename T> T integer()
    {
        static_assert(std::numeric_limits<T>::is_integer);
        if (failed() || m_bytes.size() - m_pos < sizeof(T))
            return fail<T>(DecodeOutcome::Truncated);
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = (value << 8) | static_cast<unsigned char>(m_bytes[m_pos + i]);
        m_pos += sizeof(T);
        return static_cast<T>(value);
    }

    bool boolean() { return integer<std::uint8_t>() != 0; }

    /** A "utf8" field: a QByteArray (32-bit length, then the bytes) holding UTF-8. */
    std::string text()
    {
        const auto length = integer<std::uint32_t>();
        if (failed() || length == kNullLength)
            return {};
        if (length > m_bytes.size() - m_pos)
            return fail<std::string>(DecodeOutcome::LengthPastEnd);
        const std::string_view value = m_bytes.substr(m_pos, length);
        m_pos += length;
        if (!isValidUtf8(value))
            return fail<std::string>(DecodeOutcome::BadUtf8);
        return std::string(value);
    }

    /** A QDateTime; nothing for Qt's null date or null time. */
    std::optional<MessageTime> dateTime()
    {
        const auto julianDay = integer<std::int64_t>();
        const auto milliseconds = integer<std::uint32_t>();
        const auto timeKind = integer<std::uint8_t>();
        std::int32_t offsetSeconds = 0;
        if (timeKind == static_cast<std::uint8_t>(TimeSpec::OffsetFromUtc))
            offsetSeconds = integer<std::int32_t>();
        if (failed())
            return std::nullopt;
        // A named time zone carries fields of its own that no client sends; its
        // time cannot be placed without the zone's rules either.
        if (timeKind > static_cast<std::uint8_t>(TimeSpec::OffsetFromUtc))
            return fail<std::optional<MessageTime>>(DecodeOutcome::BadTime);
        if (julianDay == std::numeric_limits<std::int64_t>::min() || milliseconds == kNullLength)
            return std::nullopt;
        if (julianDay < kFirstJulianDay || julianDay > kLastJulianDay ||
            milliseconds >= kMillisecondsPerDay)
            return fail<std::optional<MessageTime>>(DecodeOutcome::BadTime);

        using namespace std::chrono;
        const sys_days day{days{julianDay - kJulianDayOfEpoch}};
        MessageTime time = day + std::chrono::milliseconds{milliseconds};
        if (timeKind == static_cast<std::uint8_t>(TimeSpec::OffsetFromUtc)) {
            time -= seconds{offsetSeconds};
        } else if (timeKind == static_cast<std::uint8_t>(TimeSpec::LocalTime)) {
            // The sender's local time: on this machine for 127.0.0.1, and the best
            // guess for a client elsewhere on a multicast group.
            const year_month_day date{day};
            const hh_mm_ss<std::chrono::milliseconds> clock{
                std::chrono::milliseconds{milliseconds}};
            std::tm local{};
            local.tm_year = static_cast<int>(date.year()) - 1900;
            local.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
            local.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
            local.tm_hour = static_cast<int>(clock.hours().count());
            local.tm_min = static_cast<int>(clock.minutes().count());
            local.tm_sec = static_cast<int>(clock.seconds().count());
            local.tm_isdst = -1;
            const std::time_t utc = std::mktime(&local);
            if (utc == static_cast<std::time_t>(-1))
                return fail<std::optional<MessageTime>>(DecodeOutcome::BadTime);
            time = time_point_cast<std::chrono::milliseconds>(system_clock::from_time_t(utc)) +
                   clock.subseconds();
        }
        return time;
    }

  private:
    template <typename T> T fail(DecodeOutcome outcome)
    {
        if (!m_failure)
            m_failure = outcome;
        m_pos = m_bytes.size();
        return T{};
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::optional<DecodeOutcome> m_failure;
};

HeartbeatMessage readHeartbeat(FieldReader &in, std::string id)
{
    HeartbeatMessage m{std::move(id), std::nullopt, {}, {}};
    if (in.atEnd())
        return m;
    m.maximumSchema = in.integer<std::uint32_t>();
    if (in.atEnd())
        return m;
    m.version = in.text();
    if (in.atEnd())
        return m;
    m.revision = in.text();
    return m;
}

StatusMessage readStatus(FieldReader &in, std::string id)
{
    StatusMessage m;
    m.id = std::move(id);
    m.dialFrequencyHz = in.integer<std::uint64_t>();
    m.mode = in.text();
    if (in.atEnd())
        return m;
    m.dxCall = in.text();
    if (in.atEnd())
        return m;
    in.text();    // report
    in.text();    // Tx mode
    in.boolean(); // Tx enabled
    m.transmitting = in.boolean();
    in.boolean();                // decoding
    in.integer<std::uint32_t>(); // Rx DF
    in.integer<std::uint32_t>(); // Tx DF
    in.text();                   // DE call
    in.text();                   // DE grid
    in.text();                   // DX grid
    if (in.atEnd())
        return m;
    in.boolean(); // Tx watchdog
    if (in.atEnd())
        return m;
    m.submode = in.text();
    return m;
}

QsoLoggedMessage readQsoLogged(FieldReader &in, std::string id)
{
    QsoLoggedMessage m;
    m.id = std::move(id);
    m.timeOff = in.dateTime();
    m.dxCall = in.text();
    m.dxGrid = in.text();
    m.frequencyHz = in.integer<std::uint64_t>();
    m.mode = in.text();
    m.reportSent = in.text();
    m.reportReceived = in.text();
    m.txPower = in.text();
    m.comments = in.text();
    m.name = in.text();
    // Later versions appended the fields below one or a few at a time.
    if (in.atEnd())
        return m;
    m.timeOn = in.dateTime();
    for (std::string *text : {&m.operatorCall, &m.myCall, &m.myGrid, &m.exchangeSent,
                              &m.exchangeReceived, &m.propagationMode}) {
        if (in.atEnd())
            return m;
        *text = in.text();
    }
    return m;
}

} // namespace

DecodeResult decodeNetworkMessage(std::string_view datagram)
{
    FieldReader in(datagram);
    const auto magic = in.integer<std::uint32_t>();
    if (in.failed())
        return {in.failure(), std::nullopt};
    if (magic != kNetworkMessageMagic)
        return {DecodeOutcome::WrongMagic, std::nullopt};
    const auto schema = in.integer<std::uint32_t>();
    if (in.failed())
        return {in.failure(), std::nullopt};
    if (schema != 2 && schema != 3)
        return {DecodeOutcome::UnknownSchema, std::nullopt};
    const auto type = static_cast<NetworkMessageType>(in.integer<std::uint32_t>());
    std::string id = in.text();
    if (in.failed())
        return {in.failure(), std::nullopt};

    NetworkMessage message;
    switch (type) {
    case NetworkMessageType::Heartbeat:
        message = readHeartbeat(in, std::move(id));
        break;
    case NetworkMessageType::Status:
        message = readStatus(in, std::move(id));
        break;
    case NetworkMessageType::QsoLogged:
        message = readQsoLogged(in, std::move(id));
        break;
    case NetworkMessageType::Close:
        message = CloseMessage{std::move(id)};
        break;
    case NetworkMessageType::LoggedAdif:
        message = LoggedAdifMessage{std::move(id), in.text()};
        break;
    default:
        return {DecodeOutcome::OtherType, std::nullopt};
    }
    if (in.failed())
        return {in.failure(), std::nullopt};
    return {DecodeOutcome::Decoded, std::move(message)};
}

const std::string &messageId(const NetworkMessage &message)
{
    return std::visit([](const auto &m) -> const std::string & { return m.id; }, message);
}

std::uint64_t DatagramTally::dropped() const
{
    return std::accumulate(std::begin(m_counts) + static_cast<int>(DecodeOutcome::WrongMagic),
                           std::end(m_counts), std::uint64_t{0});
}

} // namespace ondelog

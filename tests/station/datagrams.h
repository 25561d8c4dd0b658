// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Datagrams as WSJT-X and JTDX send them to a logger, built byte by byte in
// QDataStream's big-endian encoding, for the tests, the fuzz corpus and the
// benchmark. Ondelog itself never builds one: it sends nothing.

#include "interchange/adifmapping.h"
#include "station/networkmessage.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace ondelog::test {

class DatagramBuilder
{
  public:
    explicit DatagramBuilder(NetworkMessageType type, std::string_view id = "WSJT-X",
                             std::uint32_t schema = 3)
        : DatagramBuilder(static_cast<std::uint32_t>(type), id, schema)
    {
    }
    DatagramBuilder(std::uint32_t type, std::string_view id, std::uint32_t schema,
                    std::uint32_t magic = kNetworkMessageMagic)
    {
        u32(magic).u32(schema).u32(type).text(id);
    }

    DatagramBuilder &u8(std::uint8_t v) { return bigEndian(v, 1); }
    DatagramBuilder &u32(std::uint32_t v) { return bigEndian(v, 4); }
    DatagramBuilder &u64(std::uint64_t v) { return bigEndian(v, 8); }
    DatagramBuilder &boolean(bool v) { return u8(v ? 1 : 0); }
    DatagramBuilder &text(std::string_view utf8)
    {
        u32(static_cast<std::uint32_t>(utf8.size()));
        m_bytes.append(utf8);
        return *this;
    }
    DatagramBuilder &nullText() { return u32(0xFFFFFFFF); }
    /** A QDateTime in UTC (Qt::UTC, 1). */
    DatagramBuilder &utc(int year, unsigned month, unsigned day, int hour, int minute,
                         int second = 0)
    {
        using namespace std::chrono;
        const sys_days date{std::chrono::year{year} / month / day};
        u64(static_cast<std::uint64_t>(date.time_since_epoch().count() + 2440588));
        u32(static_cast<std::uint32_t>((hour * 3600 + minute * 60 + second) * 1000));
        return u8(1);
    }
    DatagramBuilder &raw(std::string_view bytes)
    {
        m_bytes.append(bytes);
        return *this;
    }
    const std::string &bytes() const { return m_bytes; }

  private:
    DatagramBuilder &bigEndian(std::uint64_t v, int size)
    {
        for (int i = size - 1; i >= 0; --i)
            m_bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        return *this;
    }
    std::string m_bytes;
};

/** The fields of one FT8 contact as WSJT-X 2.6 logs it. */
struct LoggedContact
{
    std::string call = "F5ABC";
    std::string grid = "JN03";
    int year = 2024;
    unsigned month = 3;
    unsigned day = 14;
    int hour = 18;
    int minute = 40; ///< start; the end is two minutes later
    std::uint64_t frequencyHz = 14074000;
    std::string mode = "FT8";
    std::string sent = "-10";
    std::string received = "-07";
    std::string name;
    std::string myCall = "F6XYZ";
    std::string myGrid = "JN18";
    std::string id = "WSJT-X";
};

inline std::string heartbeat(std::string_view id = "WSJT-X")
{
    return DatagramBuilder(NetworkMessageType::Heartbeat, id).u32(3).text("2.6.1").text("").bytes();
}

inline std::string status(std::uint64_t dialHz, std::string_view mode,
                          std::string_view id = "WSJT-X")
{
    return DatagramBuilder(NetworkMessageType::Status, id)
        .u64(dialHz)
        .text(mode)
        .text("F5ABC") // DX call
        .text("-10")   // report
        .text(mode)    // Tx mode
        .boolean(true) // Tx enabled
        .boolean(false)
        .boolean(true)
        .u32(1500)
        .u32(1200)
        .text("F6XYZ")
        .text("JN18")
        .text("JN03")
        .boolean(false)
        .text("") // submode
        .boolean(false)
        .u8(0)
        .u32(0xFFFFFFFF)
        .u32(15)
        .text("Default")
        .text("F5ABC F6XYZ JN18")
        .bytes();
}

inline std::string closeMessage(std::string_view id = "WSJT-X")
{
    return DatagramBuilder(NetworkMessageType::Close, id).bytes();
}

inline std::string qsoLogged(const LoggedContact &c, std::uint32_t schema = 3)
{
    return DatagramBuilder(NetworkMessageType::QsoLogged, c.id, schema)
        .utc(c.year, c.month, c.day, c.hour, c.minute + 2)
        .text(c.call)
        .text(c.grid)
        .u64(c.frequencyHz)
        .text(c.mode)
        .text(c.sent)
        .text(c.received)
        .text("50") // Tx power
        .text("")   // comments
        .text(c.name)
        .utc(c.year, c.month, c.day, c.hour, c.minute)
        .text("") // operator
        .text(c.myCall)
        .text(c.myGrid)
        .text("")
        .text("")
        .text("")
        .bytes();
}

inline std::string adifField(std::string_view name, std::string_view value)
{
    // Appended piece by piece: g++ 12 warns falsely at -O3 on "<" + std::string.
    std::string field = "<";
    field += name;
    field += ':';
    field += std::to_string(value.size());
    field += '>';
    field += value;
    field += ' ';
    return field;
}

/** The ADIF text of a "Logged ADIF" message, as WSJT-X writes it. */
inline std::string loggedAdifText(const LoggedContact &c)
{
    char date[16], on[16], off[16], freq[32];
    std::snprintf(date, sizeof date, "%04d%02u%02u", c.year, c.month, c.day);
    std::snprintf(on, sizeof on, "%02d%02d00", c.hour, c.minute);
    std::snprintf(off, sizeof off, "%02d%02d00", c.hour, c.minute + 2);
    std::snprintf(freq, sizeof freq, "%.6f", static_cast<double>(c.frequencyHz) / 1e6);
    std::string text = "\n<adif_ver:5>3.1.0\n<programid:6>WSJT-X\n<EOH>\n";
    text += adifField("call", c.call) + adifField("gridsquare", c.grid) +
            adifField("mode", c.mode) + adifField("rst_sent", c.sent) +
            adifField("rst_rcvd", c.received) + adifField("qso_date", date) +
            adifField("time_on", on) + adifField("qso_date_off", date) +
            adifField("time_off", off) +
            adifField("band", bandOfFrequency(static_cast<double>(c.frequencyHz) / 1e6)) +
            adifField("freq", freq) + adifField("station_callsign", c.myCall) +
            adifField("my_gridsquare", c.myGrid) + adifField("tx_pwr", "50");
    if (!c.name.empty())
        text += adifField("name", c.name);
    return text + "<EOR>";
}

inline std::string loggedAdif(const LoggedContact &c)
{
    return DatagramBuilder(NetworkMessageType::LoggedAdif, c.id).text(loggedAdifText(c)).bytes();
}

} // namespace ondelog::test

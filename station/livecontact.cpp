// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/livecontact.h"

#include "logbook/record.h"
#include "text/text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace ondelog {

namespace {

constexpr std::size_t kProgramNameLength = 32;

std::string adifDateOf(MessageTime time)
{
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(time)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::string adifTimeOf(MessageTime time)
{
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::hh_mm_ss<std::chrono::milliseconds> clock{time - day};
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d", static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

} // namespace

std::optional<std::string> frequencyText(std::string_view megahertz)
{
    const std::size_t point = megahertz.find('.');
    std::string_view whole = megahertz.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : megahertz.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || !std::all_of(whole.begin(), whole.end(), isDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), isDigit))
        return std::nullopt;
    while (whole.size() > 1 && whole.front() == '0')
        whole.remove_prefix(1);
    const std::size_t width = fieldLayout(Field::FREQ).width;
    // Digits past the field's width say nothing an operator could tune to.
    if (whole.size() + 1 < width && fraction.size() > width - whole.size() - 1)
        fraction = fraction.substr(0, width - whole.size() - 1);
    else if (whole.size() + 1 >= width)
        fraction = {};
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    std::string text(whole.empty() ? std::string_view("0") : whole);
    if (!fraction.empty()) {
        text += '.';
        text += fraction;
    }
    return text;
}

std::string frequencyText(std::uint64_t hertz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%06llu",
                  static_cast<unsigned long long>(hertz / 1'000'000),
                  static_cast<unsigned long long>(hertz % 1'000'000));
    return *frequencyText(std::string_view(text));
}

AdifRecord adifFromQsoLogged(const QsoLoggedMessage &m)
{
    AdifRecord adif;
    auto add = [&adif](const char *name, const std::string &value) {
        if (!value.empty())
            adif.fields.push_back({name, value});
    };
    add("CALL", m.dxCall);
    if (const std::optional<MessageTime> &on = m.timeOn ? m.timeOn : m.timeOff) {
        add("QSO_DATE", adifDateOf(*on));
        add("TIME_ON", adifTimeOf(*on));
    }
    if (m.timeOff) {
        add("QSO_DATE_OFF", adifDateOf(*m.timeOff));
        add("TIME_OFF", adifTimeOf(*m.timeOff));
    }
    if (m.frequencyHz > 0)
        add("FREQ", frequencyText(m.frequencyHz));
    // WSJT-X names the submode alone ("FT4", not MFSK and FT4): the import
    // understands that, as it does in older files.
    add("MODE", m.mode);
    add("GRIDSQUARE", m.dxGrid);
    add("RST_SENT", m.reportSent);
    add("RST_RCVD", m.reportReceived);
    add("TX_PWR", m.txPower);
    add("COMMENT", m.comments);
    add("NAME", m.name);
    add("OPERATOR", m.operatorCall);
    add("STATION_CALLSIGN", m.myCall);
    add("MY_GRIDSQUARE", m.myGrid);
    add("STX_STRING", m.exchangeSent);
    add("SRX_STRING", m.exchangeReceived);
    add("PROP_MODE", m.propagationMode);
    return adif;
}

std::optional<AdifRecord> adifFromLoggedAdif(const LoggedAdifMessage &m)
{
    std::istringstream text(m.adifText);
    AdiReader reader(text);
    AdifRecord record;
    if (reader.next(record) != AdifReadResult::Record)
        return std::nullopt;
    return record;
}

std::string shortLine(std::string_view utf8)
{
    std::string name;
    std::size_t characters = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            continue;
        const bool startsCharacter = (byte & 0xC0) != 0x80;
        if (startsCharacter && ++characters > kProgramNameLength)
            break;
        name.push_back(c);
    }
    return trim(name);
}

std::optional<ReceivedContact> receivedContact(const NetworkMessage &message,
                                               std::string_view stationLocator)
{
    ReceivedContact received;
    AdifRecord adif;
    if (const auto *logged = std::get_if<QsoLoggedMessage>(&message)) {
        received.source = NetworkMessageType::QsoLogged;
        adif = adifFromQsoLogged(*logged);
    } else if (const auto *text = std::get_if<LoggedAdifMessage>(&message)) {
        received.source = NetworkMessageType::LoggedAdif;
        std::optional<AdifRecord> record = adifFromLoggedAdif(*text);
        if (!record)
            return std::nullopt;
        adif = std::move(*record);
        // WSJT-X writes six decimals; the log and the other message do not.
        for (AdifField &field : adif.fields)
            if (field.name == "FREQ")
                field.value =
                    frequencyText(std::string_view(trim(field.value))).value_or(field.value);
    } else {
        return std::nullopt;
    }
    received.programUtf8 = shortLine(messageId(message));

    // WSJT-X knows the station by its square; the log keeps the station's
    // six-character locator, which says more.
    if (const std::string *grid = adif.find("MY_GRIDSQUARE");
        grid && grid->size() == 4 &&
        toUpperCp1252(stationLocator).starts_with(toUpperCp1252(*grid)))
        std::erase_if(adif.fields, [](const AdifField &f) { return f.name == "MY_GRIDSQUARE"; });

    received.contact = contactFromAdif(adif, stationLocator);
    const std::string *own = adif.find("STATION_CALLSIGN");
    if (!own || trim(*own).empty())
        own = adif.find("OPERATOR");
    if (own)
        received.stationCall = toUpperCp1252(trim(textFromAdif(*own)));
    return received;
}

} // namespace ondelog

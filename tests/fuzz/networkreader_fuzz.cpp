// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: any bytes as a datagram from the network. The decoder never
// reads outside them and keeps only UTF-8 text; a contact it gives goes into a
// log that stays sound, holding one more contact exactly when one was added.

#include "fuzzcheck.h"

#include "interchange/adifreader.h"
#include "station/contactreceiver.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

using namespace ondelog;

namespace {

// Past this many contacts the log starts again: every append counts the log.
constexpr std::int32_t kLogContacts = 200;

struct Station
{
    LogFile log;
    ReceivingLog target{&log, "F6XYZ", "JN18EU", true};
    ContactReceiver receiver;

    void startLog()
    {
        const std::filesystem::path &path = fuzzInputFile("network", "F6XYZ.Ham");
        std::filesystem::remove(path);
        FUZZ_CHECK(LogFile::create(path, "JN18EU") == LogStatus::Ok);
        FUZZ_CHECK(log.open(path) == LogStatus::Ok);
        receiver.logChanged();
    }
};

void checkTexts(const NetworkMessage &message)
{
    std::visit(
        [](const auto &m) {
            FUZZ_CHECK(isValidUtf8(m.id));
            if constexpr (requires { m.adifText; })
                FUZZ_CHECK(isValidUtf8(m.adifText));
            if constexpr (requires { m.dxCall; })
                FUZZ_CHECK(isValidUtf8(m.dxCall) && isValidUtf8(m.mode));
        },
        message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A buffer of exactly the datagram's size, so that a sanitizer sees a read past it.
    const auto bytes = std::make_unique<char[]>(size);
    if (size > 0)
        std::memcpy(bytes.get(), data, size);
    const DecodeResult decoded = decodeNetworkMessage(std::string_view(bytes.get(), size));
    FUZZ_CHECK(decoded.message.has_value() == (decoded.outcome == DecodeOutcome::Decoded));
    if (!decoded.message)
        return 0;
    checkTexts(*decoded.message);

    static Station station;
    if (!station.log.isOpen() || station.log.recordCount() >= kLogContacts)
        station.startLog();
    const auto contact = receivedContact(*decoded.message, station.target.stationLocator);
    if (!contact)
        return 0;
    FUZZ_CHECK(isValidUtf8(contact->programUtf8));

    const std::int32_t before = station.log.recordCount();
    const ReceiveResult result = station.receiver.receive(*contact, station.target);
    const bool added = result.outcome == ReceiveOutcome::Added;
    FUZZ_CHECK(station.log.recordCount() == before + (added ? 1 : 0));
    FUZZ_CHECK(isValidUtf8(result.noticeUtf8));
    FUZZ_CHECK(result.noticeUtf8.empty() == (result.outcome == ReceiveOutcome::SecondMessage));
    if (added) {
        FUZZ_CHECK(station.log.readRecord(before + 1) == contact->contact.record);
        FUZZ_CHECK(station.log.readRecord(before + 2)->isEndMarker());
    }
    return 0;
}

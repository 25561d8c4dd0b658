// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesetter/sntp.h"

#include <algorithm>

namespace ondelog {

namespace {

// Seconds from 1900-01-01 (NTP) to 1970-01-01 (Unix).
constexpr std::int64_t kNtpToUnix = 2208988800LL;
constexpr std::int64_t kEra = std::int64_t(1) << 32;

enum Offsets : std::size_t
{
    kReferenceId = 12,
    kOrigin = 24,
    kReceive = 32,
    kTransmit = 40,
};

std::uint32_t readWord(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

NtpTimestamp readTimestamp(const std::uint8_t *p)
{
    return {readWord(p), readWord(p + 4)};
}

void writeWord(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}

SntpRefusal refuse(SntpFault fault)
{
    return SntpRefusal{fault, {}};
}

} // namespace

NtpTimestamp toNtp(UtcTime t)
{
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<nanoseconds>(t.time_since_epoch());
    const auto whole = floor<seconds>(sinceEpoch);
    const std::uint64_t nanos = std::uint64_t((sinceEpoch - whole).count());
    NtpTimestamp out;
    out.seconds = std::uint32_t(std::uint64_t(whole.count() + kNtpToUnix) & 0xFFFFFFFFu);
    out.fraction = std::uint32_t((nanos << 32) / 1'000'000'000u);
    return out;
}

UtcTime fromNtp(NtpTimestamp t)
{
    using namespace std::chrono;
    std::int64_t whole = t.seconds;
    if ((t.seconds & 0x80000000u) == 0)
        whole += kEra;
    const std::int64_t nanos = std::int64_t((std::uint64_t(t.fraction) * 1'000'000'000u) >> 32);
    return UtcTime(
        duration_cast<system_clock::duration>(seconds(whole - kNtpToUnix) + nanoseconds(nanos)));
}

SntpPacket buildRequest(NtpTimestamp transmit)
{
    SntpPacket p{};
    p[0] = (0 << 6) | (4 << 3) | 3; // no leap warning, version 4, client
    writeWord(&p[kTransmit], transmit.seconds);
    writeWord(&p[kTransmit + 4], transmit.fraction);
    return p;
}

SntpResult readReply(const std::uint8_t *reply, std::size_t size, NtpTimestamp sent, UtcTime sentAt,
                     UtcTime receivedAt)
{
    // 48 bytes, possibly followed by extension fields or a key and digest, all
    // in whole 32-bit words.
    if (!reply || size < kSntpPacketSize || size % 4 != 0)
        return refuse(SntpFault::WrongLength);
    const int leap = reply[0] >> 6;
    const int version = (reply[0] >> 3) & 7;
    const int mode = reply[0] & 7;
    const int stratum = reply[1];
    if (mode != 4 || version < 1 || version > 4)
        return refuse(SntpFault::NotAServerAnswer);
    // The origin first: a forged kiss-of-death must not stop the queries.
    if (!(readTimestamp(&reply[kOrigin]) == sent))
        return refuse(SntpFault::ForeignOrigin);
    if (stratum == 0) {
        SntpRefusal kiss{SntpFault::KissOfDeath, {}};
        for (std::size_t i = 0; i < 4; ++i) {
            const char c = char(reply[kReferenceId + i]);
            if (c >= 0x20 && c < 0x7F && c != ' ')
                kiss.kissCode += c;
        }
        return kiss;
    }
    if (leap == 3 || stratum > 15)
        return refuse(SntpFault::Unsynchronised);
    const NtpTimestamp received = readTimestamp(&reply[kReceive]);
    const NtpTimestamp transmitted = readTimestamp(&reply[kTransmit]);
    if (transmitted.isZero() || received.isZero())
        return refuse(SntpFault::NoTransmitTime);

    const UtcTime t2 = fromNtp(received);
    const UtcTime t3 = fromNtp(transmitted);
    SntpMeasure m;
    m.offset = std::chrono::duration_cast<Nanoseconds>(((t2 - sentAt) + (t3 - receivedAt)) / 2);
    m.delay = std::chrono::duration_cast<Nanoseconds>((receivedAt - sentAt) - (t3 - t2));
    m.stratum = stratum;
    return m;
}

std::string refusalText(const SntpRefusal &refusal)
{
    switch (refusal.fault) {
    case SntpFault::WrongLength:
        return "Réponse refusée : longueur incorrecte";
    case SntpFault::NotAServerAnswer:
        return "Réponse refusée : ce n'est pas une réponse de serveur";
    case SntpFault::KissOfDeath:
        return refusal.kissCode.empty()
                   ? std::string("Le serveur refuse de répondre")
                   : "Le serveur refuse de répondre (" + refusal.kissCode + ")";
    case SntpFault::Unsynchronised:
        return "Réponse refusée : serveur non synchronisé";
    case SntpFault::NoTransmitTime:
        return "Réponse refusée : heure absente";
    case SntpFault::ForeignOrigin:
        return "Réponse refusée : elle ne répond pas à notre demande";
    case SntpFault::ForeignSource:
        return "Réponse refusée : elle ne vient pas du serveur";
    case SntpFault::NoAnswer:
        return "Pas de réponse du serveur en 5 secondes";
    case SntpFault::UnknownServer:
        return "Serveur introuvable";
    case SntpFault::Refused:
        return "Connexion refusée : aucun serveur de temps sur ce port";
    case SntpFault::NetworkError:
        return "Erreur de réseau";
    }
    return "Réponse refusée";
}

bool QueryPacer::mayAsk(Steady now) const
{
    return secondsToWait(now) == 0;
}

int QueryPacer::secondsToWait(Steady now) const
{
    if (!m_hasAsked)
        return 0;
    const auto left = m_last + kInterval - now;
    if (left <= left.zero())
        return 0;
    return int(std::chrono::ceil<std::chrono::seconds>(left).count());
}

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/clienttracker.h"

#include "station/livecontact.h"

namespace ondelog {

bool ClientTracker::take(const NetworkMessage &message, Clock::time_point now)
{
    const std::string program = shortLine(messageId(message));
    std::size_t i = 0;
    while (i < m_clients.size() && m_clients[i].programUtf8 != program)
        ++i;
    if (std::holds_alternative<CloseMessage>(message)) {
        if (i == m_clients.size())
            return false;
        m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(i));
        m_lastHeard.erase(m_lastHeard.begin() + static_cast<std::ptrdiff_t>(i));
        m_latest = 0;
        return true;
    }
    const std::string before = lineUtf8();
    if (i == m_clients.size()) {
        m_clients.push_back({program, 0, {}});
        m_lastHeard.emplace_back();
    }
    m_lastHeard[i] = now;
    if (const auto *status = std::get_if<StatusMessage>(&message)) {
        m_clients[i].dialFrequencyHz = status->dialFrequencyHz;
        m_clients[i].modeUtf8 = shortLine(status->mode);
        m_latest = i;
    }
    return lineUtf8() != before;
}

bool ClientTracker::expire(Clock::time_point now)
{
    bool any = false;
    for (std::size_t i = m_clients.size(); i-- > 0;) {
        if (now - m_lastHeard[i] > kSilenceLimit) {
            m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(i));
            m_lastHeard.erase(m_lastHeard.begin() + static_cast<std::ptrdiff_t>(i));
            any = true;
        }
    }
    if (any)
        m_latest = 0;
    return any;
}

std::string ClientTracker::lineUtf8() const
{
    std::string line;
    for (const ClientStatus &c : m_clients) {
        if (!line.empty())
            line += " ; ";
        line += c.programUtf8.empty() ? std::string("?") : c.programUtf8;
        line += " :";
        if (c.dialFrequencyHz > 0) {
            line += ' ';
            line += frequencyText(c.dialFrequencyHz);
        }
        if (!c.modeUtf8.empty()) {
            line += ' ';
            line += c.modeUtf8;
        }
        if (c.dialFrequencyHz == 0 && c.modeUtf8.empty())
            line += " connecté";
    }
    return line;
}

std::optional<std::string> ClientTracker::reportedMode() const
{
    if (m_latest >= m_clients.size() || m_clients[m_latest].modeUtf8.empty())
        return std::nullopt;
    return m_clients[m_latest].modeUtf8;
}

} // namespace ondelog

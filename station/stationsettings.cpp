#include "station/stationsettings.h"

#include <algorithm>

namespace ondelog {

bool isHostAndPort(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return false;
    std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    // An IPv6 address is bracketed, since it holds colons of its own.
    if (host.starts_with('[') && host.ends_with(']'))
        host = host.substr(1, host.size() - 2);
    else if (host.find(':') != std::string_view::npos)
        return false;
    const bool hostSound = !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '[' || c == ']';
    });
    if (!hostSound || port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int number = std::stoi(std::string(port));
    return number >= 1 && number <= 65535;
}

} // namespace ondelog

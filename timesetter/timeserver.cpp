// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesetter/timeserver.h"

#include <algorithm>
#include <string>

namespace ondelog {

namespace {

std::optional<std::uint16_t> parsePort(std::string_view text)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int port = std::stoi(std::string(text));
    if (port < 1 || port > 65535)
        return std::nullopt;
    return std::uint16_t(port);
}

bool plausibleHost(std::string_view host)
{
    return !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '[' || c == ']' || c == '/';
    });
}

} // namespace

std::string TimeServer::text() const
{
    const std::string shownHost = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return shownHost + ":" + std::to_string(port);
}

std::optional<TimeServer> parseTimeServer(std::string_view text)
{
    TimeServer server;
    std::string_view host = text;
    std::optional<std::string_view> port;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            port = rest.substr(1);
        }
    } else if (std::count(text.begin(), text.end(), ':') == 1) {
        const auto colon = text.find(':');
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    // More than one colon without brackets: a bare IPv6 address.
    if (!plausibleHost(host))
        return std::nullopt;
    server.host = std::string(host);
    if (port) {
        const auto number = parsePort(*port);
        if (!number)
            return std::nullopt;
        server.port = *number;
    }
    return server;
}

std::optional<std::string> serverOption(int argc, const char *const *argv)
{
    const std::string_view name = "--server";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == name && i + 1 < argc)
            return std::string(argv[i + 1]);
        if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
            arg[name.size()] == '=')
            return std::string(arg.substr(name.size() + 1));
    }
    return std::nullopt;
}

std::optional<TimeServer> chooseTimeServer(const std::optional<std::string> &option,
                                           const std::optional<std::string> &environment)
{
    if (option)
        return parseTimeServer(*option);
    if (environment && !environment->empty())
        return parseTimeServer(*environment);
    return TimeServer{kDefaultTimeServer, 123};
}

} // namespace ondelog

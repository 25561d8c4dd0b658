#include "logbook/frequency.h"

#include "text/text.h"

#include <charconv>

namespace ondelog {

namespace {

// Digits with at most one separator and at least one digit.
bool isFrequencyText(std::string_view text)
{
    int separators = 0;
    int digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.' || c == ',')
            ++separators;
        else
            return false;
    }
    return digits > 0 && separators <= 1;
}

} // namespace

std::optional<std::string> frequencyWithPoint(std::string_view text)
{
    std::string out = trim(text);
    if (!isFrequencyText(out))
        return std::nullopt;
    for (char &c : out)
        if (c == ',')
            c = '.';
    return out;
}

std::optional<double> frequencyMegahertz(std::string_view text)
{
    const auto plain = frequencyWithPoint(text);
    if (!plain)
        return std::nullopt;
    // from_chars never looks at the locale, unlike strtod. Only a number too
    // large for a double fails here, and no band holds it.
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain->data(), plain->data() + plain->size(), value,
                                              std::chars_format::fixed);
    if (error != std::errc() || end != plain->data() + plain->size())
        return std::nullopt;
    return value;
}

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#include "interchange/adifmodes.h"

#include "text/text.h"

#include <unordered_map>

namespace ondelog {

namespace {

// clang-format off

constexpr ModeForm kForms[] = {
    // Modes of their own.
    {"AM", "AM", ""},           {"ARDOP", "ARDOP", ""},     {"ATV", "ATV", ""},
    {"CHIP", "CHIP", ""},       {"CLO", "CLO", ""},         {"CONTE", "CONTESTI", ""},
    {"CW", "CW", ""},           {"DV", "DIGITALVOICE", ""}, {"DOMIN", "DOMINO", ""},
    {"DYNAM", "DYNAMIC", ""},   {"FAX", "FAX", ""},         {"FM", "FM", ""},
    {"FSK44", "FSK441", ""},    {"FT8", "FT8", ""},         {"HELL", "HELL", ""},
    {"ISCAT", "ISCAT", ""},     {"JT4", "JT4", ""},         {"JT9", "JT9", ""},
    {"JT44", "JT44", ""},       {"JT65", "JT65", ""},       {"JT6M", "JT6M", ""},
    {"MFSK", "MFSK", ""},       {"MSK", "MSK144", ""},      {"MT63", "MT63", ""},
    {"OLIV", "OLIVIA", ""},     {"OPERA", "OPERA", ""},     {"PAC", "PAC", ""},
    {"PAX", "PAX", ""},         {"PKT", "PKT", ""},         {"PSK", "PSK", ""},
    {"PSK2K", "PSK2K", ""},     {"Q15", "Q15", ""},         {"QRA64", "QRA64", ""},
    {"ROS", "ROS", ""},         {"RTTY", "RTTY", ""},       {"RTTYM", "RTTYM", ""},
    {"SSB", "SSB", ""},         {"SSTV", "SSTV", ""},       {"T10", "T10", ""},
    {"THOR", "THOR", ""},       {"THRB", "THRB", ""},       {"TOR", "TOR", ""},
    {"V4", "V4", ""},           {"VOI", "VOI", ""},         {"WINMR", "WINMOR", ""},
    {"WSPR", "WSPR", ""},
    // Submodes, by their mode.
    {"CHP64", "CHIP", "CHIP64"},             {"CH128", "CHIP", "CHIP128"},
    {"PCW", "CW", "PCW"},
    {"C4FM", "DIGITALVOICE", "C4FM"},        {"DMR", "DIGITALVOICE", "DMR"},
    {"DSTAR", "DIGITALVOICE", "DSTAR"},      {"FREDV", "DIGITALVOICE", "FREEDV"},
    {"M17", "DIGITALVOICE", "M17"},
    {"DOM-M", "DOMINO", "DOM-M"},            {"DOM4", "DOMINO", "DOM4"},
    {"DOM5", "DOMINO", "DOM5"},              {"DOM8", "DOMINO", "DOM8"},
    {"DOM11", "DOMINO", "DOM11"},            {"DOM16", "DOMINO", "DOM16"},
    {"DOM22", "DOMINO", "DOM22"},            {"DOM44", "DOMINO", "DOM44"},
    {"DOM88", "DOMINO", "DOM88"},            {"DOMEX", "DOMINO", "DOMINOEX"},
    {"DOMF", "DOMINO", "DOMINOF"},
    {"VARA", "DYNAMIC", "VARA HF"},          {"VARSA", "DYNAMIC", "VARA SATELLITE"},
    {"VFM12", "DYNAMIC", "VARA FM 1200"},    {"VFM96", "DYNAMIC", "VARA FM 9600"},
    {"FMHEL", "HELL", "FMHELL"},             {"FSKHL", "HELL", "FSKHELL"},
    {"HEL80", "HELL", "HELL80"},             {"HELX5", "HELL", "HELLX5"},
    {"HELX9", "HELL", "HELLX9"},             {"HFSK", "HELL", "HFSK"},
    {"PSKHL", "HELL", "PSKHELL"},            {"SLHEL", "HELL", "SLOWHELL"},
    {"ISC-A", "ISCAT", "ISCAT-A"},           {"ISC-B", "ISCAT", "ISCAT-B"},
    {"JT4A", "JT4", "JT4A"}, {"JT4B", "JT4", "JT4B"}, {"JT4C", "JT4", "JT4C"},
    {"JT4D", "JT4", "JT4D"}, {"JT4E", "JT4", "JT4E"}, {"JT4F", "JT4", "JT4F"},
    {"JT4G", "JT4", "JT4G"},
    {"JT9-1", "JT9", "JT9-1"},               {"JT9-2", "JT9", "JT9-2"},
    {"JT9-5", "JT9", "JT9-5"},               {"J9-10", "JT9", "JT9-10"},
    {"J9-30", "JT9", "JT9-30"},
    {"JT9A", "JT9", "JT9A"}, {"JT9B", "JT9", "JT9B"}, {"JT9C", "JT9", "JT9C"},
    {"JT9D", "JT9", "JT9D"}, {"JT9E", "JT9", "JT9E"}, {"JT9F", "JT9", "JT9F"},
    {"JT9G", "JT9", "JT9G"}, {"JT9H", "JT9", "JT9H"},
    {"JT9EF", "JT9", "JT9E FAST"},           {"JT9FF", "JT9", "JT9F FAST"},
    {"JT9GF", "JT9", "JT9G FAST"},           {"JT9HF", "JT9", "JT9H FAST"},
    {"JT65A", "JT65", "JT65A"},              {"JT65B", "JT65", "JT65B"},
    {"JT65C", "JT65", "JT65C"},              {"J65B2", "JT65", "JT65B2"},
    {"J65C2", "JT65", "JT65C2"},
    {"FSQ", "MFSK", "FSQCALL"},              {"FST4", "MFSK", "FST4"},
    {"FST4W", "MFSK", "FST4W"},              {"FT4", "MFSK", "FT4"},
    {"JS8", "MFSK", "JS8"},                  {"JTMS", "MFSK", "JTMS"},
    {"MFSK4", "MFSK", "MFSK4"},              {"MFSK8", "MFSK", "MFSK8"},
    {"MF11", "MFSK", "MFSK11"},              {"MF16", "MFSK", "MFSK16"},
    {"MF22", "MFSK", "MFSK22"},              {"MF31", "MFSK", "MFSK31"},
    {"MF32", "MFSK", "MFSK32"},              {"MF64", "MFSK", "MFSK64"},
    {"MF64L", "MFSK", "MFSK64L"},            {"MF128", "MFSK", "MFSK128"},
    {"M128L", "MFSK", "MFSK128L"},           {"Q65", "MFSK", "Q65"},
    {"OL4/1", "OLIVIA", "OLIVIA 4/125"},     {"OL4/2", "OLIVIA", "OLIVIA 4/250"},
    {"OL8/2", "OLIVIA", "OLIVIA 8/250"},     {"OL8/5", "OLIVIA", "OLIVIA 8/500"},
    {"O16/5", "OLIVIA", "OLIVIA 16/500"},    {"O16/1", "OLIVIA", "OLIVIA 16/1000"},
    {"O32/1", "OLIVIA", "OLIVIA 32/1000"},
    {"OPBCN", "OPERA", "OPERA-BEACON"},      {"OPQSO", "OPERA", "OPERA-QSO"},
    {"PAC2", "PAC", "PAC2"}, {"PAC3", "PAC", "PAC3"}, {"PAC4", "PAC", "PAC4"},
    {"PAX2", "PAX", "PAX2"},
    {"8P125", "PSK", "8PSK125"},             {"8P250", "PSK", "8PSK250"},
    {"8P500", "PSK", "8PSK500"},             {"8P1K", "PSK", "8PSK1000"},
    {"FSK31", "PSK", "FSK31"},               {"PSK10", "PSK", "PSK10"},
    {"PSK31", "PSK", "PSK31"},               {"PSK63", "PSK", "PSK63"},
    {"PS63F", "PSK", "PSK63F"},              {"PS125", "PSK", "PSK125"},
    {"PS250", "PSK", "PSK250"},              {"PS500", "PSK", "PSK500"},
    {"PS1K", "PSK", "PSK1000"},              {"PAM10", "PSK", "PSKAM10"},
    {"PAM31", "PSK", "PSKAM31"},             {"PAM50", "PSK", "PSKAM50"},
    {"PFEC", "PSK", "PSKFEC31"},             {"QP31", "PSK", "QPSK31"},
    {"QP63", "PSK", "QPSK63"},               {"QP125", "PSK", "QPSK125"},
    {"QP250", "PSK", "QPSK250"},             {"QP500", "PSK", "QPSK500"},
    {"SIM31", "PSK", "SIM31"},
    {"QR64A", "QRA64", "QRA64A"},            {"QR64B", "QRA64", "QRA64B"},
    {"QR64C", "QRA64", "QRA64C"},            {"QR64D", "QRA64", "QRA64D"},
    {"QR64E", "QRA64", "QRA64E"},
    {"ROSEM", "ROS", "ROS-EME"},             {"ROSHF", "ROS", "ROS-HF"},
    {"ROSMF", "ROS", "ROS-MF"},
    {"ASCI", "RTTY", "ASCI"},
    {"LSB", "SSB", "LSB"},                   {"USB", "SSB", "USB"},
    {"THORM", "THOR", "THOR-M"},             {"THOR4", "THOR", "THOR4"},
    {"THOR5", "THOR", "THOR5"},              {"THOR8", "THOR", "THOR8"},
    {"THR11", "THOR", "THOR11"},             {"THR16", "THOR", "THOR16"},
    {"THR22", "THOR", "THOR22"},             {"T25X4", "THOR", "THOR25X4"},
    {"T50X1", "THOR", "THOR50X1"},           {"T50X2", "THOR", "THOR50X2"},
    {"TH100", "THOR", "THOR100"},
    {"THRBX", "THRB", "THRBX"},              {"THBX1", "THRB", "THRBX1"},
    {"THBX2", "THRB", "THRBX2"},             {"THBX4", "THRB", "THRBX4"},
    {"THRB1", "THRB", "THROB1"},             {"THRB2", "THRB", "THROB2"},
    {"THRB4", "THRB", "THROB4"},
    {"AMFEC", "TOR", "AMTORFEC"},            {"GTOR", "TOR", "GTOR"},
    {"NAVTX", "TOR", "NAVTEX"},              {"SITOR", "TOR", "SITORB"},
};

constexpr ModeForm kSpellings[] = {
    // French: bande latérale unique, supérieure, inférieure.
    {"BLU", "SSB", ""},   {"BLS", "SSB", "USB"}, {"BLI", "SSB", "LSB"},
    // Emission classes, as licences and older French logs write them.
    {"A1A", "CW", ""},    {"J3E", "SSB", ""},    {"A3E", "AM", ""},
    {"F3E", "FM", ""},    {"F1B", "RTTY", ""},   {"NFM", "FM", ""},
    {"NBFM", "FM", ""},
    // Older names of ADIF modes.
    {"AMTOR", "TOR", ""}, {"PACKE", "PKT", ""},  {"PACTO", "PAC", ""},
    {"CLOVE", "CLO", ""}, {"THROB", "THRB", ""}, {"BPSK", "PSK", ""},
    // Long names cut to five characters; a cut shared by several submodes
    // stands for their mode.
    {"MSK14", "MSK144", ""},          {"OLIVI", "OLIVIA", ""},
    {"DIGIT", "DIGITALVOICE", ""},    {"WINMO", "WINMOR", ""},
    {"FREED", "DIGITALVOICE", "FREEDV"},
    {"FSQCA", "MFSK", "FSQCALL"},     {"MFSK1", "MFSK", ""},
    {"MFSK2", "MFSK", ""},            {"MFSK3", "MFSK", ""},
    {"MFSK6", "MFSK", ""},            {"PSK12", "PSK", "PSK125"},
    {"PSK25", "PSK", "PSK250"},       {"PSK50", "PSK", "PSK500"},
    {"QPSK1", "PSK", "QPSK125"},      {"QPSK2", "PSK", "QPSK250"},
    {"QPSK3", "PSK", "QPSK31"},       {"QPSK5", "PSK", "QPSK500"},
    {"QPSK6", "PSK", "QPSK63"},       {"8PSK1", "PSK", ""},
    {"8PSK2", "PSK", "8PSK250"},      {"8PSK5", "PSK", "8PSK500"},
    {"PSKAM", "PSK", ""},             {"PSKFE", "PSK", "PSKFEC31"},
    {"CHIP6", "CHIP", "CHIP64"},      {"CHIP1", "CHIP", "CHIP128"},
    {"FSKHE", "HELL", "FSKHELL"},     {"PSKHE", "HELL", "PSKHELL"},
    {"SLOWH", "HELL", "SLOWHELL"},    {"HELL8", "HELL", "HELL80"},
    {"HELLX", "HELL", ""},            {"JT9-3", "JT9", "JT9-30"},
    {"ROS-E", "ROS", "ROS-EME"},      {"ROS-H", "ROS", "ROS-HF"},
    {"ROS-M", "ROS", "ROS-MF"},       {"THOR-", "THOR", "THOR-M"},
    {"THOR1", "THOR", ""},            {"THOR2", "THOR", ""},
    {"NAVTE", "TOR", "NAVTEX"},
};

// Names other programs write as MODE that ADIF does not have, or no longer.
constexpr std::pair<std::string_view, std::string_view> kOlderAdifNames[] = {
    {"PACKET", "PKT"},  {"PACTOR", "PAC"},   {"CLOVER", "CLO"},     {"AMTOR", "TOR"},
    {"THROB", "THRB"},  {"CONTESTIA", "CONTE"}, {"BPSK31", "PSK31"}, {"BPSK63", "PSK63"},
    {"BPSK125", "PS125"},
};

// clang-format on

using FormIndex = std::unordered_map<std::string_view, const ModeForm *>;

const FormIndex &byLogForm()
{
    static const FormIndex index = [] {
        FormIndex built;
        for (const ModeForm &f : kForms)
            built.emplace(f.log, &f);
        for (const ModeForm &f : kSpellings)
            built.emplace(f.log, &f); // never over a form: emplace keeps the first
        return built;
    }();
    return index;
}

const FormIndex &byAdifName()
{
    static const FormIndex index = [] {
        FormIndex built;
        for (const ModeForm &f : kForms)
            built.emplace(f.submode.empty() ? f.mode : f.submode, &f);
        for (const auto &[name, log] : kOlderAdifNames)
            built.emplace(name, byLogForm().at(log));
        return built;
    }();
    return index;
}

const ModeForm *formOfAdifName(std::string_view name)
{
    const auto it = byAdifName().find(toUpperCp1252(name));
    return it == byAdifName().end() ? nullptr : it->second;
}

} // namespace

std::span<const ModeForm> modeForms()
{
    return kForms;
}

std::span<const ModeForm> modeSpellings()
{
    return kSpellings;
}

std::optional<AdifMode> adifMode(std::string_view logMode)
{
    const auto it = byLogForm().find(toUpperCp1252(trim(logMode)));
    if (it == byLogForm().end())
        return std::nullopt;
    return AdifMode{std::string(it->second->mode), std::string(it->second->submode)};
}

LogModeText logModeFromAdif(std::string_view mode, std::string_view submode)
{
    constexpr std::size_t kWidth = 5;
    auto known = [](std::string_view name) -> std::optional<LogModeText> {
        if (const ModeForm *form = formOfAdifName(name))
            return LogModeText{std::string(form->log), false};
        return std::nullopt;
    };
    auto kept = [](std::string_view name, bool shortened) {
        return LogModeText{toUpperCp1252(name.substr(0, kWidth)),
                           shortened || name.size() > kWidth};
    };
    if (!submode.empty()) {
        if (auto form = known(submode))
            return *form;
        if (submode.size() <= kWidth)
            return kept(submode, false);
        // A submode no form covers: its mode says more than a cut name.
        if (auto form = known(mode))
            return LogModeText{form->text, true};
        if (!mode.empty() && mode.size() <= kWidth)
            return kept(mode, true);
        return kept(submode, true);
    }
    if (auto form = known(mode))
        return *form;
    return kept(mode, false);
}

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/hamlibradio.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <mutex>
#include <string>

static_assert(ondelog::kRigctldRadioModel == RIG_MODEL_NETRIGCTL);
static_assert(ondelog::kNoRadioModel == RIG_MODEL_NONE);

namespace ondelog {

namespace {

// Hamlib loads its backends into tables of its own on first use: finding a
// model and listing them are kept from running on two threads at once.
std::mutex &hamlibTables()
{
    static std::mutex mutex;
    return mutex;
}

void quietHamlib()
{
    // Hamlib writes every exchange with the radio to stderr unless told not to.
    static std::once_flag once;
    std::call_once(once, [] { rig_set_debug(RIG_DEBUG_NONE); });
}

std::string lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

RadioPort portOf(const rig_caps *caps)
{
    switch (caps->port_type) {
    case RIG_PORT_NONE:
        return RadioPort::None;
    case RIG_PORT_SERIAL:
        return RadioPort::Serial;
    case RIG_PORT_NETWORK:
    case RIG_PORT_UDP_NETWORK:
        return RadioPort::Network;
    default:
        return RadioPort::Other;
    }
}

bool setConf(RIG *rig, const char *name, const std::string &value)
{
    const token_t token = rig_token_lookup(rig, name);
    return token != RIG_CONF_END && rig_set_conf(rig, token, value.c_str()) == RIG_OK;
}

} // namespace

std::string hamlibErrorUtf8(int code)
{
    switch (code < 0 ? -code : code) {
    case RIG_OK:
        return {};
    case RIG_ETIMEOUT:
        return "le transceiver ne répond pas";
    case RIG_EIO:
        return "erreur d'entrée-sortie";
    case RIG_EPROTO:
    case RIG_ETRUNC:
        return "réponse incomprise";
    case RIG_ECONF:
    case RIG_EINVAL:
    case RIG_EARG:
        return "réglage invalide";
    case RIG_ENIMPL:
    case RIG_ENAVAIL:
    case RIG_EDEPRECATED:
        return "ce modèle ne le permet pas";
    case RIG_ERJCTED:
        return "commande refusée par le transceiver";
    case RIG_EPOWER:
        return "transceiver éteint";
    case RIG_BUSERROR:
    case RIG_BUSBUSY:
        return "erreur sur le bus";
    case RIG_ENOMEM:
        return "mémoire insuffisante";
    default:
        return "erreur de Hamlib " + std::to_string(code);
    }
}

std::vector<RadioModel> radioModels()
{
    quietHamlib();
    std::vector<RadioModel> models;
    {
        const std::lock_guard lock(hamlibTables());
        rig_load_all_backends();
        rig_list_foreach(
            [](const rig_caps *caps, rig_ptr_t data) -> int {
                auto *list = static_cast<std::vector<RadioModel> *>(data);
                list->push_back({static_cast<int>(caps->rig_model),
                                 caps->mfg_name ? caps->mfg_name : "",
                                 caps->model_name ? caps->model_name : "", portOf(caps)});
                return 1; // go on
            },
            &models);
    }
    std::sort(models.begin(), models.end(), [](const RadioModel &a, const RadioModel &b) {
        const std::string makerA = lower(a.maker), makerB = lower(b.maker);
        if (makerA != makerB)
            return makerA < makerB;
        const std::string nameA = lower(a.name), nameB = lower(b.name);
        return nameA != nameB ? nameA < nameB : a.id < b.id;
    });
    return models;
}

HamlibRadio::HamlibRadio(const TransceiverSettings &settings, int timeoutMs, int retries)
    : m_settings(settings), m_timeoutMs(timeoutMs), m_retries(retries)
{
}

HamlibRadio::~HamlibRadio()
{
    close();
}

bool HamlibRadio::open(std::string &why)
{
    close();
    if (m_settings.isNone()) {
        why = "aucun transceiver choisi";
        return false;
    }
    quietHamlib();
    {
        const std::lock_guard lock(hamlibTables());
        m_rig = rig_init(static_cast<rig_model_t>(m_settings.model));
    }
    if (!m_rig) {
        why = "modèle " + std::to_string(m_settings.model) + " inconnu de Hamlib";
        return false;
    }
    const bool network = portOf(m_rig->caps) == RadioPort::Network;
    const std::string &path = network ? m_settings.networkAddress : m_settings.serialPort;
    bool configured = setConf(m_rig, "timeout", std::to_string(m_timeoutMs)) &&
                      setConf(m_rig, "retry", std::to_string(m_retries));
    if (!path.empty())
        configured = configured && setConf(m_rig, "rig_pathname", path);
    if (m_settings.serialSpeed > 0 && !network)
        configured =
            configured && setConf(m_rig, "serial_speed", std::to_string(m_settings.serialSpeed));
    if (!configured) {
        why = "réglage refusé par Hamlib";
        close();
        return false;
    }
    const int status = rig_open(m_rig);
    if (status != RIG_OK) {
        why = hamlibErrorUtf8(status);
        if (!path.empty())
            why = path + " : " + why;
        close();
        return false;
    }
    m_open = true;
    return true;
}

std::optional<RadioReading> HamlibRadio::read(std::string &why)
{
    if (!m_open) {
        why = "transceiver fermé";
        return std::nullopt;
    }
    RadioReading reading;
    freq_t frequency = 0;
    int status = rig_get_freq(m_rig, RIG_VFO_CURR, &frequency);
    if (status != RIG_OK) {
        why = hamlibErrorUtf8(status);
        return std::nullopt;
    }
    reading.frequencyHz = frequency;
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    status = rig_get_mode(m_rig, RIG_VFO_CURR, &mode, &width);
    // A radio that cannot tell its mode still tells its frequency.
    if (status != RIG_OK && !RIG_IS_SOFT_ERRCODE(-status)) {
        why = hamlibErrorUtf8(status);
        return std::nullopt;
    }
    if (status == RIG_OK && mode != RIG_MODE_NONE)
        if (const char *name = rig_strrmode(mode))
            reading.hamlibMode = name;
    return reading;
}

void HamlibRadio::close()
{
    if (!m_rig)
        return;
    if (m_open)
        rig_close(m_rig);
    m_open = false;
    const std::lock_guard lock(hamlibTables());
    rig_cleanup(m_rig);
    m_rig = nullptr;
}

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio through Hamlib, the library every logger of the field reads
// radios with: its list of models, and one radio opened on a serial port or
// through a rigctld server (Hamlib's NET rigctl model). Plain C++ over
// Hamlib's C interface; no window code. Every call may wait on the radio for
// as long as Hamlib's timeout, so none is made on a window's thread: the
// poller (radiopoller.h) makes them on a thread of its own.

#include "station/radiostatus.h"
#include "station/stationsettings.h"

#include <optional>
#include <string>
#include <vector>

struct s_rig; // Hamlib's RIG

namespace ondelog {

/** How a model reaches its radio. */
enum class RadioPort
{
    None,    ///< nothing to choose (Hamlib's dummy)
    Serial,  ///< a serial line: port and speed
    Network, ///< host:port (rigctld and other servers)
    Other,   ///< USB, parallel...: a device path, if any
};

struct RadioModel
{
    int id = 0;        ///< Hamlib's model number
    std::string maker; ///< as Hamlib spells it ("Icom", "Yaesu"...)
    std::string name;  ///< "IC-7300"
    RadioPort port = RadioPort::Serial;
};

/** Hamlib's models, by maker then name (letter case aside). */
std::vector<RadioModel> radioModels();

struct RadioReading
{
    double frequencyHz = 0;
    std::string hamlibMode; ///< "USB", "PKTUSB"...
};

class HamlibRadio
{
  public:
    /** Waits `timeoutMs` for each answer, then tries `retries` times more. */
    explicit HamlibRadio(const TransceiverSettings &settings, int timeoutMs = 1000,
                         int retries = 1);
    ~HamlibRadio();
    HamlibRadio(const HamlibRadio &) = delete;
    HamlibRadio &operator=(const HamlibRadio &) = delete;

    /** Opens the port or connects to the server. On failure, `whyUtf8` says why in French. */
    bool open(std::string &whyUtf8);
    bool isOpen() const { return m_open; }
    /** The frequency and mode of the current VFO, or nothing (and why). */
    std::optional<RadioReading> read(std::string &whyUtf8);
    void close();

    /** Hamlib's handle, for what only a test does (setting the dummy radio). */
    s_rig *handle() const { return m_rig; }

  private:
    TransceiverSettings m_settings;
    int m_timeoutMs;
    int m_retries;
    s_rig *m_rig = nullptr;
    bool m_open = false;
};

/** French words for a Hamlib error code (negative, as Hamlib returns them). */
std::string hamlibErrorUtf8(int code);

} // namespace ondelog

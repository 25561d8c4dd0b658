// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/radiopoller.h"

#include "radio/hamlibradio.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace ondelog {

struct RadioPollerState
{
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool finished = false;
    RadioPoller::Report report;
    std::thread thread;
};

namespace {

/** Threads of pollers destroyed while Hamlib still held them. */
class RetiredThreads
{
  public:
    static RetiredThreads &instance()
    {
        static RetiredThreads threads;
        return threads;
    }
    void add(std::shared_ptr<RadioPollerState> state)
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_states, [](const std::shared_ptr<RadioPollerState> &s) {
            if (!isFinished(*s))
                return false;
            s->thread.join();
            return true;
        });
        m_states.push_back(std::move(state));
    }
    ~RetiredThreads()
    {
        for (const auto &s : m_states)
            s->thread.join();
    }

  private:
    static bool isFinished(RadioPollerState &s)
    {
        const std::lock_guard lock(s.mutex);
        return s.finished;
    }
    std::mutex m_mutex;
    std::vector<std::shared_ptr<RadioPollerState>> m_states;
};

void poll(const std::shared_ptr<RadioPollerState> &state, const TransceiverSettings &settings,
          const RadioPoller::Timing &timing)
{
    RadioReport last;
    auto change = [&](const RadioReport &report) {
        if (report == last)
            return;
        last = report;
        const std::lock_guard lock(state->mutex);
        if (!state->stopping && state->report)
            state->report(report);
    };
    // False once the poller is being destroyed.
    auto pause = [&] {
        std::unique_lock lock(state->mutex);
        state->wake.wait_for(lock, timing.interval, [&] { return state->stopping; });
        return !state->stopping;
    };

    HamlibRadio radio(settings, timing.timeoutMs, timing.retries);
    change({RadioState::Connecting, 0, {}, {}});
    bool answeredOnce = false;
    do {
        std::string why;
        if (!radio.isOpen() && !radio.open(why)) {
            // A radio that answered before and is gone is not answering, whether
            // it is its port or its server that is gone.
            change({answeredOnce ? RadioState::NoAnswer : RadioState::CannotOpen, 0, {}, why});
            continue;
        }
        if (const auto reading = radio.read(why)) {
            answeredOnce = true;
            change({RadioState::Answering, reading->frequencyHz, reading->hamlibMode, {}});
        } else {
            change({RadioState::NoAnswer, 0, {}, why});
            // Opened again next time: a radio switched off and on, or a rigctld
            // started again, answers again.
            radio.close();
        }
    } while (pause());
}

} // namespace

RadioPoller::RadioPoller(const TransceiverSettings &settings, Report report, Timing timing)
    : m_state(std::make_shared<RadioPollerState>())
{
    if (settings.isNone()) {
        report(RadioReport{});
        return;
    }
    m_state->report = std::move(report);
    m_state->thread = std::thread([state = m_state, settings, timing] {
        poll(state, settings, timing);
        {
            const std::lock_guard lock(state->mutex);
            state->finished = true;
        }
        state->wake.notify_all();
    });
}

RadioPoller::~RadioPoller()
{
    if (!m_state->thread.joinable())
        return;
    bool finished = false;
    {
        std::unique_lock lock(m_state->mutex);
        m_state->stopping = true;
        m_state->report = nullptr;
        m_state->wake.notify_all();
        // A thread between two readings ends at once; one inside Hamlib is not waited for.
        finished = m_state->wake.wait_for(lock, std::chrono::milliseconds(100),
                                          [this] { return m_state->finished; });
    }
    if (finished)
        m_state->thread.join();
    else
        RetiredThreads::instance().add(std::move(m_state));
}

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hourglass pointer shown while the log is read, always taken back, and a
// way to lift it for the time a message box waits for the operator.

namespace ondelog {

/** Shows the wait pointer for its lifetime. */
class WaitCursor
{
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

/** Lifts every wait pointer for its lifetime, then puts them back. */
class NormalCursor
{
  public:
    NormalCursor();
    ~NormalCursor();
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

  private:
    int m_lifted = 0;
};

} // namespace ondelog

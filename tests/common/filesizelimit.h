// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Caps the size a file of this process may reach, as a full disk would: the
// only way to make writes fail when the tests run as root, where permissions
// are not enforced.

#include <csignal>
#include <sys/resource.h>

namespace ondelog::test {

class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // else the process is killed
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool ok() const { return m_ok; }

  private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace ondelog::test

// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/regularfile.h"

#include "logbook/fileio.h"
#include "logbook/safefile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ondelog {

namespace {

std::function<void()> &readHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

LogStatus OpenedFile::status() const
{
    if (fd >= 0)
        return LogStatus::Ok;
    return error == 0 ? LogStatus::NotRegularFile : statusFromErrno(error);
}

OpenedFile openRegularFile(const std::filesystem::path &path, int flags, mode_t mode)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return {};
    // O_NONBLOCK: a pipe put in the file's place since stat() would otherwise
    // hold open() until some program writes into it.
    const int nonBlocking = flags | O_NONBLOCK | O_CLOEXEC;
    int fd = -1;
    if ((flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0) {
        fd = fileio::openFile(path.c_str(), nonBlocking, mode);
    } else {
        do
            fd = ::open(path.c_str(), nonBlocking);
        while (fd < 0 && errno == EINTR);
    }
    if (fd < 0)
        return {-1, errno};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    // Reads and writes of a regular file never wait anyway; the flag is taken
    // back so that the descriptor behaves as any other.
    const int current = ::fcntl(fd, F_GETFL);
    if (current >= 0)
        ::fcntl(fd, F_SETFL, current & ~O_NONBLOCK);
    return {fd, 0};
}

LogStatus regularFileStatus(const std::filesystem::path &path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0)
        return statusFromErrno(errno);
    return S_ISREG(st.st_mode) ? LogStatus::Ok : LogStatus::NotRegularFile;
}

void setFileReadHook(std::function<void()> hook)
{
    readHook() = std::move(hook);
}

class RegularFileStream::Buffer : public std::streambuf
{
  public:
    static constexpr std::size_t kBlock = 64 * 1024;

    Buffer(int fd, BlockHook hook) : m_fd(fd), m_hook(std::move(hook)), m_block(kBlock) {}
    ~Buffer() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    LogStatus error() const { return m_error; }
    bool stopped() const { return m_stopped; }

  protected:
    int_type underflow() override
    {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        if (m_fd < 0 || m_stopped || m_error != LogStatus::Ok)
            return traits_type::eof();
        if (m_hook && !m_hook(m_read)) {
            m_stopped = true;
            return traits_type::eof();
        }
        if (const auto &hook = readHook())
            hook();
        ssize_t got = 0;
        do
            got = ::read(m_fd, m_block.data(), m_block.size());
        while (got < 0 && errno == EINTR);
        if (got < 0) {
            m_error = statusFromErrno(errno);
            throw std::ios_base::failure("read");
        }
        if (got == 0)
            return traits_type::eof();
        m_read += static_cast<std::uint64_t>(got);
        setg(m_block.data(), m_block.data(), m_block.data() + got);
        return traits_type::to_int_type(*gptr());
    }

  private:
    int m_fd;
    BlockHook m_hook;
    std::vector<char> m_block;
    std::uint64_t m_read = 0;
    LogStatus m_error = LogStatus::Ok;
    bool m_stopped = false;
};

RegularFileStream::RegularFileStream(const std::filesystem::path &path, BlockHook hook)
    : std::istream(nullptr)
{
    const OpenedFile file = openRegularFile(path, O_RDONLY);
    m_openStatus = file.status();
    m_buffer = std::make_unique<Buffer>(file.fd, std::move(hook));
    rdbuf(m_buffer.get());
    if (file.fd < 0)
        setstate(std::ios_base::badbit);
}

RegularFileStream::~RegularFileStream() = default;

LogStatus RegularFileStream::readError() const
{
    return m_buffer->error();
}

bool RegularFileStream::stopped() const
{
    return m_buffer->stopped();
}

} // namespace ondelog

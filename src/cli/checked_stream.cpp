#include "checked_stream.h"

#include "calc/message_text.h"
#include "calc/well_input.h"
#include "program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ios>

namespace coning::cli {
namespace {

// Raised by DescriptorInput so that the istream records a read error as badbit.
struct ReadError : std::ios_base::failure
{
    ReadError()
        : std::ios_base::failure("read error")
    {}
};

bool isPipeOrTerminal(int fd)
{
    struct stat status;
    return isatty(fd) == 1 || (fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode));
}

} // namespace

DescriptorOutput::DescriptorOutput(int fd, int error)
    : m_fd(fd)
    , m_error(error)
{
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

bool DescriptorOutput::writeBuffer()
{
    const char *next = pbase();
    const char *const end = pptr();
    while (m_error == 0 && next < end) {
        const ssize_t written = ::write(m_fd, next, static_cast<std::size_t>(end - next));
        if (written >= 0)
            next += written;
        else if (errno != EINTR || (m_stop && *m_stop != 0))
            m_error = errno;
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c)
{
    if (!writeBuffer())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorOutput::sync()
{
    return writeBuffer() ? 0 : -1;
}

DescriptorInput::DescriptorInput(int fd, std::string name, int error, bool owned)
    : m_fd(fd)
    , m_name(std::move(name))
    , m_error(error)
    , m_owned(owned)
{
    setg(m_buffer.data(), m_buffer.data(), m_buffer.data());
}

DescriptorInput::~DescriptorInput()
{
    if (m_owned)
        ::close(m_fd);
}

std::unique_ptr<DescriptorInput> DescriptorInput::open(const std::string &path, std::string &problem)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = "cannot open " + quotedForMessage(path) + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat status;
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        problem = escapedForMessage(path) + " is a directory";
        return nullptr;
    }
    return std::make_unique<DescriptorInput>(fd, path, 0, true);
}

DescriptorInput::int_type DescriptorInput::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (m_error != 0)
        throw ReadError();
    for (;;) {
        const ssize_t count = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (count > 0) {
            setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + count);
            return traits_type::to_int_type(*gptr());
        }
        if (count == 0)
            return traits_type::eof();
        if (errno != EINTR || (m_stop && *m_stop != 0)) {
            m_error = errno;
            throw ReadError();
        }
    }
}

int occupyIfClosed(int fd)
{
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
        return 0;
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) { // a lower descriptor was closed too and took it
        dup2(opened, fd);
        ::close(opened);
    }
    return EBADF;
}

bool isPipeOrTerminal(const std::ios &stream)
{
    if (const auto *in = dynamic_cast<const DescriptorInput *>(stream.rdbuf()))
        return isPipeOrTerminal(in->fd());
    if (const auto *out = dynamic_cast<const DescriptorOutput *>(stream.rdbuf()))
        return isPipeOrTerminal(out->fd());
    return false;
}

std::string writeFailure(const std::ostream &out)
{
    const auto *buffer = dynamic_cast<const DescriptorOutput *>(out.rdbuf());
    return std::strerror(buffer && buffer->error() != 0 ? buffer->error() : EIO);
}

std::string readFailure(const std::istream &in)
{
    const auto *buffer = dynamic_cast<const DescriptorInput *>(in.rdbuf());
    if (!buffer)
        return "the batch file: " + std::string(std::strerror(EIO));
    return escapedForMessage(buffer->name()) + ": "
           + std::strerror(buffer->error() != 0 ? buffer->error() : EIO);
}

int reportWriteFailure(const std::ostream &out, std::ostream &err)
{
    err << programName << ": cannot write the results: " << writeFailure(out) << '\n';
    return writeFailureStatus;
}

} // namespace coning::cli

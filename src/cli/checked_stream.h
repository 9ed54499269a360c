#pragma once

#include <array>
#include <atomic>
#include <istream>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace coning::cli {

// Standard output, or any descriptor, with every write checked: a write that fails (a full disk,
// a closed descriptor, a reader that has gone with SIGPIPE ignored) is remembered with its errno,
// the stream turns bad, and nothing more is written.
class DescriptorOutput : public std::streambuf
{
public:
    // `error` is the errno of a descriptor known to be unusable, 0 otherwise.
    explicit DescriptorOutput(int fd, int error = 0);
    DescriptorOutput(const DescriptorOutput &) = delete;
    DescriptorOutput &operator=(const DescriptorOutput &) = delete;

    int error() const { return m_error; }
    int fd() const { return m_fd; }
    // A write interrupted by a signal that set `flag` fails (EINTR) instead of going on.
    void stopWhen(const std::atomic<int> *flag) { m_stop = flag; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool writeBuffer();

    int m_fd;
    int m_error;
    const std::atomic<int> *m_stop = nullptr;
    std::array<char, 1 << 16> m_buffer;
};

// Standard input or a file, read with the reason of a failed read remembered; the stream turns
// bad then (the reader reports it as a read error, not as the end of the file). Reads return
// what is at hand, so rows arriving slowly through a pipe are read as they come.
class DescriptorInput : public std::streambuf
{
public:
    DescriptorInput(int fd, std::string name, int error = 0, bool owned = false);
    ~DescriptorInput() override;
    DescriptorInput(const DescriptorInput &) = delete;
    DescriptorInput &operator=(const DescriptorInput &) = delete;

    // Opens a file for reading; on failure returns nothing and says why in `problem`.
    static std::unique_ptr<DescriptorInput> open(const std::string &path, std::string &problem);

    int error() const { return m_error; }
    int fd() const { return m_fd; }
    const std::string &name() const { return m_name; }
    // A read interrupted by a signal that set `flag` fails (EINTR) instead of waiting on.
    void stopWhen(const std::atomic<int> *flag) { m_stop = flag; }

protected:
    int_type underflow() override;

private:
    int m_fd;
    std::string m_name;
    int m_error;
    bool m_owned;
    const std::atomic<int> *m_stop = nullptr;
    std::array<char, 1 << 16> m_buffer;
};

// When one of the standard descriptors is closed, opens /dev/null on it, so that no file opened
// later takes its place, and returns EBADF; otherwise 0.
int occupyIfClosed(int fd);

// Whether the stream is a pipe or a terminal, where a reader waits for each line.
bool isPipeOrTerminal(const std::ios &stream);

// Why writing to `out` failed, as strerror says it ("No space left on device").
std::string writeFailure(const std::ostream &out);
// What could not be read and why ("standard input: Bad file descriptor").
std::string readFailure(const std::istream &in);

// The status for results that could not be written, after saying so on `err`.
inline constexpr int writeFailureStatus = 3;
int reportWriteFailure(const std::ostream &out, std::ostream &err);

} // namespace coning::cli

// velkor-unitsim: the simulated control unit, served on a pseudo-terminal.
#include "framelog.h"
#include "options.h"
#include "pacedline.h"
#include "pty.h"
#include "unitmodel.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <unistd.h>

using namespace unitsim;

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int)
{
    stopRequested = 1;
}

std::int64_t monotonicUs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Stop signals stay blocked except while waiting in ppoll, so a stop can never slip in between
// the check of the flag and the wait and leave the wait to run its full time.
sigset_t takeOverStopSignals()
{
    sigset_t stops;
    sigemptyset(&stops);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stops, signal);
    sigset_t original;
    ::sigprocmask(SIG_BLOCK, &stops, &original);
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return original;
}

class Simulator
{
public:
    Simulator(const SimOptions &options, int fd, FrameLog &log)
        : options_(options), model_(options.unit), line_(fd, options.byteUs), log_(log), fd_(fd),
          originUs_(monotonicUs())
    {
    }

    void run(const sigset_t &waitMask)
    {
        while (!stopRequested) {
            pollfd port{fd_, POLLIN, 0};
            const timespec timeout = waitUntilNextByte();
            const int ready = ::ppoll(&port, 1, &timeout, &waitMask);
            if (ready < 0)
                continue;  // EINTR: the loop condition sees the stop
            if (port.revents & POLLIN)
                receive();
            else if (port.revents & (POLLHUP | POLLERR))
                rest();
            for (const Transmission &tx : line_.service(elapsedUs()))
                log_.write(elapsedUs() / 1000, "TX", tx.bytes);
        }
    }

private:
    std::int64_t elapsedUs() const { return monotonicUs() - originUs_; }

    timespec waitUntilNextByte() const
    {
        const std::int64_t due = line_.nextDueUs();
        const std::int64_t waitUs = due < 0 ? 1000000 : std::max<std::int64_t>(0, due - elapsedUs());
        return {time_t(waitUs / 1000000), long(waitUs % 1000000) * 1000};
    }

    void receive()
    {
        std::uint8_t buffer[512];
        const ssize_t size = ::read(fd_, buffer, sizeof buffer);
        if (size <= 0)
            return;
        const std::int64_t nowUs = elapsedUs();
        const std::int64_t nowMs = nowUs / 1000;
        for (UnitEvent &event : model_.feed(buffer, std::size_t(size), nowMs)) {
            switch (event.kind) {
            case UnitEvent::Kind::Received: log_.write(nowMs, "RX", event.bytes()); break;
            case UnitEvent::Kind::Junk: log_.write(nowMs, "JUNK", event.bytes()); break;
            case UnitEvent::Kind::Withheld: log_.write(nowMs, "HELD", event.bytes()); break;
            case UnitEvent::Kind::Reply:
                line_.send(std::move(event.tx), nowUs + std::int64_t(options_.reactMs) * 1000);
                break;
            }
        }
    }

    // Should the line report a hang-up after all, do not spin on it.
    static void rest()
    {
        const timespec pause{0, 20 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }

    const SimOptions &options_;
    UnitModel model_;
    PacedLine line_;
    FrameLog &log_;
    int fd_;
    std::int64_t originUs_;
};

int fail(const char *program, const std::string &message)
{
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    SimOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "%s: %s (see --help)\n", argv[0], error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(argv[0]).c_str(), stdout);
        return 0;
    }

    const sigset_t waitMask = takeOverStopSignals();
    Pty pty;
    if (!pty.open(error))
        return fail(argv[0], error);
    FrameLog log;
    if (!options.logPath.empty() && !log.open(options.logPath))
        return fail(argv[0], "cannot open log " + options.logPath);
    if (!options.linkPath.empty() && !makeLink(pty.slavePath(), options.linkPath, error))
        return fail(argv[0], error);

    // Whoever started us waits for this line to know where to connect.
    std::printf("%s\n", pty.slavePath().c_str());
    std::fflush(stdout);

    Simulator(options, pty.master(), log).run(waitMask);

    if (!options.linkPath.empty())
        removeLink(pty.slavePath(), options.linkPath);
    return 0;
}

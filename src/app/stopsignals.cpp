#include "stopsignals.h"
#include <QSocketNotifier>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal handler may do almost nothing; writing one byte to a socket is allowed.
int wakeFds[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFds[0], &byte, 1);
}

constexpr int StopSignalList[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0)
        return;
    m_notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        [[maybe_unused]] const ssize_t n = ::read(wakeFds[1], bytes, sizeof bytes);
        emit stopRequested();
    });
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : StopSignalList)
        ::sigaction(signal, &action, nullptr);
}

StopSignals::~StopSignals()
{
    for (int signal : StopSignalList)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    for (int &fd : wakeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

#else

// Windows has no such signals for a program with a window: the end of a session comes to it as
// the application's commitDataRequest, which main() handles.
StopSignals::StopSignals(QObject *parent) : QObject(parent) {}
StopSignals::~StopSignals() = default;

#endif

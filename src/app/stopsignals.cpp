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

#elif defined(Q_OS_WIN)

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <qt_windows.h>

namespace {

// Windows asks first (WM_QUERYENDSESSION, which Qt turns into commitDataRequest) and then says
// that the session ends (WM_ENDSESSION with wParam TRUE): the process may be ended as soon as
// every window has handled that message, so the stop runs right there, once for all windows.
class SessionEndFilter : public QAbstractNativeEventFilter
{
public:
    explicit SessionEndFilter(StopSignals *owner) : m_owner(owner) {}

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override
    {
        Q_UNUSED(result)
        if (m_said || eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam != FALSE) {
            m_said = true;
            emit m_owner->stopRequested();
        }
        return false;  // Qt's own handling (aboutToQuit) still follows
    }

private:
    StopSignals *m_owner;
    bool m_said = false;
};

}  // namespace

StopSignals::StopSignals(QObject *parent) : QObject(parent), m_sessionEnd(new SessionEndFilter(this))
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installNativeEventFilter(m_sessionEnd);
}

StopSignals::~StopSignals()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(m_sessionEnd);
    delete m_sessionEnd;
}

#else

// Elsewhere the end of a session comes as the application's commitDataRequest, which main()
// handles.
StopSignals::StopSignals(QObject *parent) : QObject(parent) {}
StopSignals::~StopSignals() = default;

#endif

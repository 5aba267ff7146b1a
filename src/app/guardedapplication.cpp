#include "guardedapplication.h"
#include <cstdlib>
#include <exception>
#include <new>
#include <utility>

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        escaped(nullptr);
    } catch (const std::exception &error) {
        escaped(error.what());
    } catch (...) {
        escaped("");
    }
    return false;
}

void GuardedApplication::escaped(const char *what)
{
    // Memory may still be short: a report that fails in turn must not escape from here.
    try {
        const QString reason = !what ? QStringLiteral("nedostatek paměti")
                               : *what ? QString::fromLocal8Bit(what)
                                       : QStringLiteral("neznámá výjimka");
        qWarning("Velkor: zachycená výjimka: %s", qPrintable(reason));
        if (m_escape)
            m_escape(reason);
    } catch (...) {
    }
}

namespace {
std::function<void()> keepBeforeTheEnd;
std::terminate_handler previousHandler = nullptr;

[[noreturn]] void keepThenTerminate()
{
    // Once only: a keep that ends in terminate itself must not come back here.
    if (std::function<void()> keep = std::exchange(keepBeforeTheEnd, {})) {
        try {
            keep();
        } catch (...) {
        }
    }
    if (previousHandler)
        previousHandler();
    std::abort();
}
}  // namespace

void keepOnTerminate(std::function<void()> keep)
{
    keepBeforeTheEnd = std::move(keep);
    std::terminate_handler previous = std::set_terminate(keepThenTerminate);
    if (previous != keepThenTerminate)
        previousHandler = previous;
}

#pragma once
#include <QApplication>
#include <functional>

// An exception that escapes an event handler would end the tool with everything unsaved. Qt hands
// every event on through notify(): an exception is caught there, the event counts as not taken,
// and `onEscape` is told what it was; the event loop goes on.
class GuardedApplication : public QApplication
{
    Q_OBJECT
public:
    using Escape = std::function<void(const QString &reason)>;

    GuardedApplication(int &argc, char **argv);

    // `reason` is in the technician's words ("nedostatek paměti" for a failed allocation).
    void onEscape(Escape escape) { m_escape = std::move(escape); }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    void escaped(const char *what);

    Escape m_escape;
};

// The last resort, for an exception thrown where no event handler runs it (or any other end
// through std::terminate): `keep` runs before the process ends. Installed once, in main().
void keepOnTerminate(std::function<void()> keep);

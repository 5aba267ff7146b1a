#pragma once
#include <QProcess>
#include <QString>
#include <memory>

// A private X server (Xvfb) for the bench, and keys typed into a window on it, so that the tool
// runs on a real display (the xcb platform) as on a workshop PC.
class XDisplay
{
public:
    XDisplay();
    ~XDisplay();

    // Whether Xvfb is installed; without it the bench measures on the offscreen platform.
    static bool available();
    // Starts the server; false with the reason in `error`.
    bool start(QString *error);
    // ":N", for DISPLAY.
    QString name() const { return m_name; }

    // Gives the keyboard to the top-level window of process `pid` and types Ctrl+`letter` into it
    // (`letter` a..z); false when no window of that process is mapped.
    bool typeControlKey(qint64 pid, char letter);

private:
    QProcess m_server;
    QString m_name;
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};

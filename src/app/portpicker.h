#pragma once
#include <QComboBox>
#include <QList>
#include <functional>

// A serial port the system lists.
struct PortEntry
{
    QString device;       // what to open: "/dev/ttyUSB0"
    QString description;  // "FT232R USB UART"; may be empty
    QString usb;          // USB vendor and product, "0403:6001"; empty when not USB
    QString maker;        // "FTDI"; may be empty
};
using PortSource = std::function<QList<PortEntry>()>;

// The serial ports present on this computer. Pseudo-terminals and symlinks are never listed.
QList<PortEntry> systemPorts();

// The port picker of the connection line: the ports present, read anew whenever the list is
// opened, and the port in use even when it is not listed (marked "nenalezen" only when it is
// neither open nor there). A path typed in (a symlink, a device the system does not list) counts
// once confirmed with Enter. The edit selects its whole text when it takes the focus, so a typed
// path replaces the one shown. A USB adapter is listed by its name; when exactly one is present it
// comes first.
class PortPicker : public QComboBox
{
    Q_OBJECT
public:
    explicit PortPicker(PortSource source, QWidget *parent = nullptr);

    void setCurrentPort(const QString &device);
    QString currentPort() const { return m_current; }
    // The port in use is open: it is there, whether the system lists it or not.
    void setPortOpen(bool open);
    void refresh();

    static QString describe(const PortEntry &entry);
    // Reads the ports anew before the list opens.
    void showPopup() override;

signals:
    void portChosen(const QString &device);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void choose(const QString &device);

    PortSource m_source;
    QString m_current;
    bool m_open = false;
};

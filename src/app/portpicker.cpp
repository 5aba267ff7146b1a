#include "portpicker.h"
#include <QFileInfo>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <QTimer>
#include <algorithm>

namespace {

// "ttyUSB0" and "/dev/ttyUSB0" name the same device, as the port opens them; on Windows "COM3",
// "com3" and "\\.\COM3".
QString devicePath(const QString &name)
{
#ifdef Q_OS_WIN
    const QString device = name.startsWith(QLatin1String("\\\\.\\")) ? name.mid(4) : name;
    return device.toUpper();
#else
    return name.contains(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
#endif
}

// A port the system does not list may still be there: a pseudo-terminal or a symlink such as
// /dev/serial/by-id/... Windows lists every port it has.
bool unlistedPortThere(const QString &name)
{
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    return false;
#else
    return QFileInfo::exists(devicePath(name));
#endif
}

#ifdef Q_OS_WIN
const QString ExamplePort = QStringLiteral("COM3");
#else
const QString ExamplePort = QStringLiteral("/dev/ttyUSB0");
#endif

}  // namespace

QList<PortEntry> systemPorts()
{
    QList<PortEntry> entries;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        PortEntry e{info.systemLocation(), info.description(), {}, info.manufacturer()};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            e.usb = QStringLiteral("%1:%2").arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                        .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        entries.append(e);
    }
    return entries;
}

PortPicker::PortPicker(PortSource source, QWidget *parent)
    : QComboBox(parent), m_source(std::move(source))
{
    setObjectName(QStringLiteral("PortPicker"));
    setEditable(true);
    // Typing must not add items or complete to a listed port: what counts is what was confirmed.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    lineEdit()->setPlaceholderText(ExamplePort);
    connect(this, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { choose(itemData(index).toString()); });
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString typed = currentText().trimmed();
        const int listed = findText(typed);
        choose(listed >= 0 ? itemData(listed).toString() : typed);
    });
}

QString PortPicker::describe(const PortEntry &entry)
{
    if (!entry.usb.isEmpty()) {
        QString name = entry.description;
        // Adapters often repeat their maker in the description.
        if (!entry.maker.isEmpty() && !name.contains(entry.maker, Qt::CaseInsensitive))
            name = entry.maker + QLatin1Char(' ') + name;
        name = name.trimmed();
        return (name.isEmpty() ? QStringLiteral("USB %1").arg(entry.usb) : QStringLiteral("USB – ") + name)
            + QStringLiteral(" (%1)").arg(entry.device);
    }
    QStringList about;
    if (!entry.description.isEmpty())
        about << entry.description;
    return about.isEmpty() ? entry.device : entry.device + QStringLiteral(" – ") + about.join(QStringLiteral(", "));
}

void PortPicker::setCurrentPort(const QString &device)
{
    m_current = device;
    refresh();
}

void PortPicker::setPortOpen(bool open)
{
    if (open == m_open)
        return;
    m_open = open;
    // A path the technician is typing meanwhile stays as typed.
    const bool typing = lineEdit()->hasFocus();
    const QString typed = lineEdit()->text();
    refresh();
    if (typing)
        setEditText(typed);
}

void PortPicker::refresh()
{
    const QSignalBlocker quiet(this);
    clear();
    bool currentListed = m_current.isEmpty();
    QList<PortEntry> entries = m_source();
    const auto usbCount = std::count_if(entries.begin(), entries.end(), [](const PortEntry &e) { return !e.usb.isEmpty(); });
    if (usbCount == 1)
        std::stable_partition(entries.begin(), entries.end(), [](const PortEntry &e) { return !e.usb.isEmpty(); });
    for (const PortEntry &entry : entries) {
        addItem(describe(entry), entry.device);
        setItemData(count() - 1, describe(entry), Qt::ToolTipRole);
        if (devicePath(entry.device) == devicePath(m_current)) {
            currentListed = true;
            setCurrentIndex(count() - 1);
        }
    }
    if (!currentListed) {
        const bool there = m_open || unlistedPortThere(m_current);
        addItem(there ? m_current : m_current + QStringLiteral(" – nenalezen"), m_current);
        setCurrentIndex(count() - 1);
    }
    // The edit shows the port in use as it is opened, not the longer list text.
    setEditText(m_current);
}

void PortPicker::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    // Afterwards: the mouse press that gave the focus would place the cursor over the selection.
    QTimer::singleShot(0, lineEdit(), &QLineEdit::selectAll);
}

void PortPicker::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

void PortPicker::choose(const QString &device)
{
    const QString name = device.trimmed();
    if (name.isEmpty()) {
        setEditText(m_current);
        return;
    }
    emit portChosen(name);
}

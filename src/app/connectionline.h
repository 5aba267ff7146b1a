#pragma once
#include "portpicker.h"
#include "link/linkconnection.h"
#include <QFrame>

class QLabel;

// The slim line at the bottom of the window: the state of the link in a word and a colour, and
// the port picker.
class ConnectionLine : public QFrame
{
    Q_OBJECT
public:
    static constexpr int Height = 26;

    explicit ConnectionLine(PortSource ports, QWidget *parent = nullptr);

    PortPicker *picker() const { return m_picker; }
    // `problem` says in full why the port is not open; it shows as the state's tool tip.
    void showHealth(LinkConnection::Health health, const QString &problem = {});

    // No port chosen yet: the state asks for one, `hint` says how.
    void showNoPortChosen(const QString &hint);

    static QString healthText(LinkConnection::Health health);
    // While a recording runs, its time and rows beside the state; hidden for an empty text.
    void showRecording(const QString &text);
    // While the history cannot be reached, that and how many visits wait; hidden for an empty text.
    void showHistory(const QString &text, const QString &problem = {});
    // Outcomes given while their page was not shown, until it is; hidden for an empty text.
    void showUnseenOutcomes(const QString &text);

private:
    QLabel *m_state;
    QLabel *m_recording;
    QLabel *m_history;
    QLabel *m_outcomes;
    PortPicker *m_picker;
};

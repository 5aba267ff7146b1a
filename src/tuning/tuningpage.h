#pragma once
#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;
class LiveBox;
class UnitData;

// The page "Ladění": the parameters of the four power ranges, the unit commands and the live box.
class TuningPage : public QWidget
{
    Q_OBJECT
public:
    explicit TuningPage(UnitData *data, QWidget *parent = nullptr);

    LiveBox *liveBox() const { return m_liveBox; }
    QPushButton *commandButton(int n) const { return m_buttons[n - 1]; }  // Button1..Button6
    // Captions of Button1..Button6 from TESTER.INI.
    void setCommandCaptions(const QStringList &captions);

    // The status label "Nacteni".
    void showLinkMessage(const QString &text);
    void setLinkMessageText(const QString &text);
    void hideLinkMessage();

private:
    UnitData *m_data;
    LiveBox *m_liveBox;
    QPushButton *m_buttons[6];
    QLabel *m_nacteni;
};

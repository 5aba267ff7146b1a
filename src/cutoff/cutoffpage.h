#pragma once
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class CutOffControl;
class Prompts;
class CutOffReader;
class ScopeRecording;

// The page "Cut-off": the module address, the last value read, the value to write and the two
// communication modes. It lays the controls out; CutOffControl holds the rules behind them.
class CutOffPage : public QWidget
{
    Q_OBJECT
public:
    explicit CutOffPage(QWidget *parent = nullptr);

    void attach(CutOffReader *reader, ScopeRecording *recording, Prompts *prompts);
    CutOffControl *control() const { return m_control; }

    QComboBox *adresy() const { return m_adresy; }
    QLineEdit *adresa() const { return m_adresa; }
    QLabel *datac() const { return m_datac; }
    QLineEdit *dataw() const { return m_dataw; }
    QLabel *datawLabel() const { return m_datawLabel; }
    QPushButton *writeButton() const { return m_button37; }
    QRadioButton *cutOffMode() const { return m_radio1; }  // "Komunikace Cut-off"
    QRadioButton *tuningMode() const { return m_radio2; }  // "Komunikace Ladění"

private:
    QComboBox *m_adresy;
    QLineEdit *m_adresa;
    QLabel *m_datac;
    QLineEdit *m_dataw;
    QLabel *m_datawLabel;
    QPushButton *m_button37;
    QRadioButton *m_radio1;
    QRadioButton *m_radio2;
    CutOffControl *m_control = nullptr;
};

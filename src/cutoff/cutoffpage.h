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

    QComboBox *addressChoice() const { return m_addressChoice; }
    QLineEdit *addressEdit() const { return m_addressEdit; }
    QLabel *readValueLabel() const { return m_readValue; }
    QLineEdit *writeValueEdit() const { return m_writeValue; }
    QLabel *writeValueLabel() const { return m_writeValueLabel; }
    QPushButton *writeButton() const { return m_writeButton; }
    QRadioButton *cutOffMode() const { return m_cutOffMode; }  // "Komunikace Cut-off"
    QRadioButton *tuningMode() const { return m_tuningMode; }  // "Komunikace Ladění"

private:
    QComboBox *m_addressChoice;
    QLineEdit *m_addressEdit;
    QLabel *m_readValue;
    QLineEdit *m_writeValue;
    QLabel *m_writeValueLabel;
    QPushButton *m_writeButton;
    QRadioButton *m_cutOffMode;
    QRadioButton *m_tuningMode;
    CutOffControl *m_control = nullptr;
};

#pragma once
#include <QObject>
#include <QString>

class CutOffPage;
class Prompts;
class CutOffReader;
class ScopeRecording;

// The rules of the page "Cut-off": the address choice, the two communication modes, the value
// read and the write of one byte.
class CutOffControl : public QObject
{
    Q_OBJECT
public:
    static QString noAnswerText() { return QStringLiteral("Bez odpovědi"); }

    CutOffControl(CutOffPage *page, CutOffReader *reader, ScopeRecording *recording, Prompts *prompts);

    void chooseAddress(int index);
    void switchToCutOffReading();
    void switchToTuning();
    void writeValue();
    // The user picked another page: "Komunikace Ladění" is selected as by a click.
    void selectTuningCommunication();

private:
    void clearModes();
    void showValue(int value);
    void showSilence(bool silent);

    CutOffPage *m_page;
    CutOffReader *m_reader;
    Prompts *m_prompts;
    QString m_lastText;
};

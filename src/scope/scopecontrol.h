#pragma once
#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>

class Prompts;
class ScopePage;
class ScopeRecording;

// The rules of the page "Oscil": the channels' addresses, starting and stopping a recording,
// taking its samples, scrolling with the newest one, scale, line width, colours, export.
class ScopeControl : public QObject
{
    Q_OBJECT
public:
    static QString exportName() { return QStringLiteral("OUT.TX"); }
    static QString noAnswerText() { return QStringLiteral("Bez odpovědi"); }

    ScopeControl(ScopePage *page, ScopeRecording *recording, Prompts *prompts);

    // Where OUT.TX and the pictures go.
    void setDataFolder(const QString &folder) { m_dataFolder = folder; }
    // Start-up: the named addresses from TESTER.INI ("NIC" is no name) fill both name lists.
    void fillAddressNames(const QStringList &names);

    void switchRecording();
    void exportSamples();
    void savePicture();
    double zoom() const;
    int channelAddress(int channel) const { return channel == 1 ? m_channel1 : m_channel2; }

private:
    void takeAddressName(int channel);
    void takeAddress(int channel);
    // The name list shows the name of the address in the edit, or no name.
    void showAddressName(int channel, int address);
    void setScale(const QString &text);
    void setLineWidth(const QString &text);
    void chooseColour(int channel);
    void updateChannels();
    void scrollTo(int samples);
    void takeValue(int channel, int index, int value);
    void takeSample(int index);

    ScopePage *m_page;
    ScopeRecording *m_recording;
    Prompts *m_prompts;
    QStringList m_names;
    int m_channel1 = 0;
    int m_channel2 = 1;
    QString m_scaleText = QStringLiteral(" 1");
    QString m_widthText = QStringLiteral("3");
    QColor m_dialogColour = Qt::black;  // one dialog for both swatches: it opens with its last choice
    QString m_dataFolder = QStringLiteral("data");
};

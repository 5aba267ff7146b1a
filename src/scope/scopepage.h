#pragma once
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class ColourSwatch;
class Prompts;
class ScopeControl;
class ScopeSamples;
class ScopeView;
class ScopeRecording;

// The page "Oscil": the two channels' addresses and colours, the channel mode, the recording
// switch, scale and line width, the export buttons and the scrolling screen. It lays the
// controls out; ScopeControl holds the rules behind them.
class ScopePage : public QWidget
{
    Q_OBJECT
public:
    explicit ScopePage(QWidget *parent = nullptr);
    ~ScopePage() override;

    void attach(ScopeRecording *recording, Prompts *prompts);
    ScopeControl *control() const { return m_control; }
    const ScopeSamples &samples() const { return *m_samples; }
    ScopeSamples &samples() { return *m_samples; }

    QComboBox *names(int channel) const { return channel == 1 ? m_tadr1 : m_tadr2; }    // TAdr1, TAdr2
    QLineEdit *address(int channel) const { return channel == 1 ? m_adr1 : m_adr2; }    // Adr1, Adr2
    ColourSwatch *swatch(int channel) const { return channel == 1 ? m_panel4 : m_panel5; }
    QRadioButton *oneChannel() const { return m_radio3; }
    QRadioButton *twoChannels() const { return m_radio4; }
    QCheckBox *recordBox() const { return m_zapOsc; }
    QLabel *recordState() const { return m_state; }
    QScrollArea *scrollBox() const { return m_sb1; }
    ScopeView *view() const { return m_pb1; }
    QComboBox *scale() const { return m_vzorkovani; }
    QComboBox *lineWidth() const { return m_tl; }
    QPushButton *exportButton() const { return m_button36; }
    QPushButton *pictureButton() const { return m_picture; }

private:
    ScopeSamples *m_samples;
    QComboBox *m_tadr1, *m_tadr2;
    QLineEdit *m_adr1, *m_adr2;
    ColourSwatch *m_panel4, *m_panel5;
    QRadioButton *m_radio3, *m_radio4;
    QCheckBox *m_zapOsc;
    QLabel *m_state;
    QScrollArea *m_sb1;
    ScopeView *m_pb1;
    QComboBox *m_vzorkovani, *m_tl;
    QPushButton *m_button36, *m_picture;
    ScopeControl *m_control = nullptr;
};

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

    QComboBox *names(int channel) const { return channel == 1 ? m_addressNames1 : m_addressNames2; }    // TAdr1, TAdr2
    QLineEdit *address(int channel) const { return channel == 1 ? m_address1 : m_address2; }    // Adr1, Adr2
    ColourSwatch *swatch(int channel) const { return channel == 1 ? m_swatch1 : m_swatch2; }
    QRadioButton *oneChannel() const { return m_oneChannel; }
    QRadioButton *twoChannels() const { return m_twoChannels; }
    QCheckBox *recordBox() const { return m_recordBox; }
    QLabel *recordState() const { return m_state; }
    QScrollArea *scrollBox() const { return m_scrollBox; }
    ScopeView *view() const { return m_view; }
    QComboBox *scale() const { return m_scale; }
    QComboBox *lineWidth() const { return m_lineWidth; }
    QPushButton *exportButton() const { return m_exportButton; }
    QPushButton *pictureButton() const { return m_picture; }

private:
    ScopeSamples *m_samples;
    QComboBox *m_addressNames1, *m_addressNames2;
    QLineEdit *m_address1, *m_address2;
    ColourSwatch *m_swatch1, *m_swatch2;
    QRadioButton *m_oneChannel, *m_twoChannels;
    QCheckBox *m_recordBox;
    QLabel *m_state;
    QScrollArea *m_scrollBox;
    ScopeView *m_view;
    QComboBox *m_scale, *m_lineWidth;
    QPushButton *m_exportButton, *m_picture;
    ScopeControl *m_control = nullptr;
};

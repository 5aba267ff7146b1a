#pragma once
#include "paramblock.h"
#include <QStringList>
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class BlockDisplay;
class LiveBox;
class LiveValuesPage;
class ParamEditor;
class Prompts;
class SpinEdit;
class UnitCommands;
class ToolSetup;
class UnitData;
class BlockRead;
class BlockWrite;
class CommandExchange;
class MemoryCheck;

// The page "Ladění": the parameters of the four power ranges, the thresholds between them, the
// unit commands and the live box. It lays the controls out; the rules behind them live in
// BlockDisplay (showing a block), ParamEditor (editing and saving) and UnitCommands.
class TuningPage : public QWidget
{
    Q_OBJECT
public:
    static QColor rangeIdleColor() { return QColor(0, 255, 128); }  // 0x80FF00 in BGR notation
    static QColor rangeActiveColor() { return QColor(255, 0, 0); }

    TuningPage(UnitData *data, const ToolSetup *setup, QWidget *parent = nullptr);

    // Puts the rules behind the controls; the live values page carries markers of this page's data.
    // Every single save is confirmed through `check`.
    void attach(CommandExchange *commands, BlockRead *blockRead, BlockWrite *blockWrite, MemoryCheck *check,
                Prompts *prompts, LiveValuesPage *livePage);
    BlockDisplay *display() const { return m_display; }
    ParamEditor *editor() const { return m_editor; }
    UnitCommands *commands() const { return m_commands; }

    LiveBox *liveBox() const { return m_liveBox; }
    // The six command buttons, Button1..Button6 in the order of their captions in TESTER.INI.
    QPushButton *writeBlockButton() const { return m_buttons[0]; }
    QPushButton *readBlockButton() const { return m_buttons[1]; }
    QPushButton *closeButton() const { return m_buttons[2]; }
    QPushButton *commitToEepromButton() const { return m_buttons[3]; }
    QPushButton *factoryResetButton() const { return m_buttons[4]; }
    QPushButton *reloadFromEepromButton() const { return m_buttons[5]; }
    // Captions of Button1..Button6 from TESTER.INI.
    void setCommandCaptions(const QStringList &captions);

    // The controls of the block bytes, by block index; null for a byte this page does not show.
    SpinEdit *spinEdit(int index) const;
    QPushButton *saveButton(int index) const;
    QLineEdit *textEdit(int index) const;
    QLabel *statusLabel(int index) const;  // UnitFlags, TpsFlags, LambdaFlags
    QGroupBox *rangeBox(PowerRange range) const { return m_rangeBoxes[int(range)]; }
    QLabel *versionLabel() const { return m_versionLabel; }
    QLabel *tpsLogicLabel() const { return m_tpsLogicLabel; }
    QLabel *ramOnlyMark() const { return m_ramOnlyMark; }

    // The status label "Nacteni".
    void showLinkMessage(const QString &text);
    void setLinkMessageText(const QString &text);
    void hideLinkMessage();

private:
    void buildTextEdits();
    void buildRangeBoxes();
    void buildThresholdBoxes();
    void buildStatusBoxes();
    void addSpinRow(int index, QWidget *box, int x, int y);

    UnitData *m_data;
    const ToolSetup *m_setup;
    LiveBox *m_liveBox;
    QPushButton *m_buttons[6];
    QLabel *m_linkMessageLabel;
    QLabel *m_versionLabel = nullptr;
    QLabel *m_tpsLogicLabel = nullptr;
    QLabel *m_ramOnlyMark = nullptr;
    QGroupBox *m_rangeBoxes[PowerRangeCount] = {};
    SpinEdit *m_spins[ParamBlock::Size] = {};
    QPushButton *m_saves[ParamBlock::Size] = {};
    QLineEdit *m_texts[ParamBlock::Size] = {};
    QLabel *m_status[ParamBlock::Size] = {};
    BlockDisplay *m_display = nullptr;
    ParamEditor *m_editor = nullptr;
    UnitCommands *m_commands = nullptr;
};

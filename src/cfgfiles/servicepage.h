#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class BlockDisplay;
class ConfigFiles;
class FileListBox;
class Prompts;
class UnitData;

// The page "Servis": saving the tool's copy of the unit's data to a configuration file and
// loading one back. It lays the controls out; ConfigFiles does the work behind them.
class ServicePage : public QWidget
{
    Q_OBJECT
public:
    explicit ServicePage(QWidget *parent = nullptr);

    // Puts the rules behind the controls. Loading shows a part 1 through the tuning page's display.
    void attach(UnitData *data, BlockDisplay *display, Prompts *prompts);
    ConfigFiles *files() const { return m_files; }

    QPushButton *saveButton() const { return m_save; }   // Button24
    QPushButton *loadButton() const { return m_load; }   // Button23
    FileListBox *fileList() const { return m_list; }     // FLB
    QLabel *statusLabel() const { return m_status; }

private:
    QPushButton *m_save;
    QPushButton *m_load;
    FileListBox *m_list;
    QLineEdit *m_mask;
    QLabel *m_status;
    ConfigFiles *m_files = nullptr;
};

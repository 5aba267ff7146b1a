#pragma once
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
struct AnalysisTable;

// "Rozbor" on the page "Záznamy": the figures per range and for the whole drive with their
// verdicts, the proposals for the stops with tick boxes, and the buttons that take, copy and save
// them. Layout and filling only; AnalysisControl decides what goes in.
class AnalysisPanel : public QWidget
{
    Q_OBJECT
public:
    explicit AnalysisPanel(QWidget *parent = nullptr);

    void showTable(const AnalysisTable &table);
    QLabel *info() const { return m_info; }
    QLabel *state() const { return m_state; }
    QTableWidget *table() const { return m_table; }
    QListWidget *proposals() const { return m_proposals; }
    QPushButton *takeButton() const { return m_take; }
    QPushButton *copyButton() const { return m_copy; }
    QPushButton *csvButton() const { return m_csv; }
    // The limits of the proposals the technician may change here: share at the stop (%), least
    // steady time (s), largest step, largest distance from the recording's set.
    QSpinBox *stopShare() const { return m_stopShare; }
    QSpinBox *minSteady() const { return m_minSteady; }
    QSpinBox *step() const { return m_step; }
    QSpinBox *distance() const { return m_distance; }

private:
    QLabel *m_info;
    QLabel *m_state;
    QTableWidget *m_table;
    QListWidget *m_proposals;
    QPushButton *m_take, *m_copy, *m_csv;
    QSpinBox *m_stopShare, *m_minSteady, *m_step, *m_distance;
};

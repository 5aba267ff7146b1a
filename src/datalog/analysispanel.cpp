#include "analysispanel.h"
#include "analysistable.h"
#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace {
QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QSpinBox *limit(const char *name, int low, int high, const QString &suffix, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setSuffix(suffix);
    // A number typed counts once it is finished: every keystroke would start the analysis again.
    box->setKeyboardTracking(false);
    return box;
}

QColor colourOf(Verdict v)
{
    switch (v) {
    case Verdict::Green: return QColor(190, 235, 190);
    case Verdict::Amber: return QColor(255, 222, 150);
    case Verdict::Red: return QColor(245, 170, 170);
    case Verdict::None: break;
    }
    return {};
}
}

AnalysisPanel::AnalysisPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PanelRozboru"));
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("RozborInfo"));
    m_info->setWordWrap(true);
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("TabulkaRozboru"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setDefaultSectionSize(16);
    m_table->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_proposals = new QListWidget(this);
    m_proposals->setObjectName(QStringLiteral("NavrhyRozboru"));
    m_proposals->setMaximumHeight(46);
    m_proposals->setWordWrap(true);
    m_take = button("PrevzitVybrane", QStringLiteral("Převzít vybrané"), this);
    m_copy = button("KopirovatRozbor", QStringLiteral("Kopírovat"), this);
    m_csv = button("UlozitRozbor", QStringLiteral("Uložit CSV…"), this);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("RozborStav"));

    m_stopShare = limit("MezDoraz", 1, 100, QStringLiteral(" %"), this);
    m_minSteady = limit("MezUstaleno", 1, 3600, QStringLiteral(" s"), this);
    m_step = limit("MezKrok", 1, 50, QString(), this);
    m_distance = limit("MezVzdalenost", 1, 100, QString(), this);
    auto *limits = new QGridLayout;
    limits->setSpacing(2);
    const QString captions[4] = {QStringLiteral("Na dorazu"), QStringLiteral("Ustáleno"), QStringLiteral("Krok"),
                                 QStringLiteral("Vzdálenost")};
    QSpinBox *const boxes[4] = {m_stopShare, m_minSteady, m_step, m_distance};
    for (int i = 0; i < 4; ++i) {
        auto *caption = new QLabel(captions[i], this);
        caption->setBuddy(boxes[i]);
        limits->addWidget(caption, i / 2, (i % 2) * 2);
        limits->addWidget(boxes[i], i / 2, (i % 2) * 2 + 1);
    }
    auto *proposals = new QHBoxLayout;
    proposals->addWidget(m_proposals, 1);
    proposals->addLayout(limits);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_take);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_csv);
    buttons->addWidget(m_state, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(m_info);
    layout->addWidget(m_table, 1);
    layout->addLayout(proposals);
    layout->addLayout(buttons);
}

void AnalysisPanel::showTable(const AnalysisTable &t)
{
    m_table->clear();
    m_table->setColumnCount(int(t.columns.size()));
    m_table->setRowCount(int(t.rows.size()));
    // Two lines a caption: the five columns fit the page at its design size.
    QStringList captions;
    for (const QString &c : t.columns)
        captions << QString(c).replace(QLatin1Char(' '), QLatin1Char('\n'));
    m_table->setHorizontalHeaderLabels(captions);
    for (int r = 0; r < int(t.rows.size()); ++r) {
        const AnalysisTable::Row &row = t.rows[std::size_t(r)];
        m_table->setVerticalHeaderItem(r, new QTableWidgetItem(row.label));
        for (int c = 0; c < int(row.cells.size()); ++c) {
            auto *item = new QTableWidgetItem(row.cells[std::size_t(c)]);
            const Verdict v = row.verdicts[std::size_t(c)];
            QString tip = row.notes[std::size_t(c)];
            if (v != Verdict::None) {
                item->setBackground(colourOf(v));
                item->setForeground(Qt::black);
                tip = verdictText(v) + (tip.isEmpty() ? QString() : QStringLiteral(": ") + tip);
            }
            item->setToolTip(tip);
            item->setData(Qt::AccessibleDescriptionRole, tip);
            m_table->setItem(r, c, item);
        }
    }
}

#include "recordingspage.h"
#include "analysiscontrol.h"
#include "analysispanel.h"
#include "plotwidget.h"
#include "recordingsbrowser.h"
#include "replaybox.h"
#include "replaycontrol.h"
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <algorithm>

namespace {
QPushButton *button(const char *name, const QString &text, const QRect &at, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(at);
    return b;
}

QComboBox *combo(const char *name, const QRect &at, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(at);
    return c;
}
}

RecordingsPage::RecordingsPage(QWidget *parent) : QWidget(parent)
{
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("SeznamZaznamu"));
    m_list->setGeometry(4, 4, 406, 78);
    m_list->setHeaderLabels({QStringLiteral("Záznam"), QStringLiteral("Trvání"), QStringLiteral("Velikost")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->setColumnWidth(1, 62);
    m_list->setColumnWidth(2, 66);

    const int x = 416, w = 102, x2 = x + w + 4;
    button("Otevrit", QStringLiteral("Otevřít…"), QRect(x, 4, w, 24), this);
    button("PorovnatZaznam", QStringLiteral("Porovnat s…"), QRect(x2, 4, w, 24), this);
    button("UlozitObrazek", QStringLiteral("Uložit obrázek"), QRect(x, 31, w, 24), this);
    button("Cele", QStringLiteral("Celé"), QRect(x2, 31, w, 24), this);
    const char *const lanes[3][2] = {{"PasLambda", "Lambda"}, {"PasTPS", "TPS"}, {"PasPoloha", "Poloha"}};
    for (int i = 0; i < 3; ++i) {
        auto *box = new QCheckBox(QString::fromLatin1(lanes[i][1]), this);
        box->setObjectName(QString::fromLatin1(lanes[i][0]));
        box->setChecked(true);
        box->setGeometry(x + i * 70, 58, 68, 22);
    }
    auto *align = new QLabel(QStringLiteral("Zarovnat:"), this);
    align->setObjectName(QStringLiteral("ZarovnatPopis"));
    align->setGeometry(x, 84, 62, 22);
    combo("ZarovnaniA", QRect(x + 62, 84, 72, 22), this);
    combo("ZarovnaniB", QRect(x + 136, 84, 72, 22), this);

    m_plot = new PlotWidget(this);
    m_plot->setObjectName(QStringLiteral("Graf"));
    m_plot->setGeometry(4, 112, 620, 190);
    auto *readout = new QLabel(this);
    readout->setObjectName(QStringLiteral("KurzorGrafu"));
    readout->setGeometry(4, 302, 620, 16);
    connect(m_plot, &PlotWidget::cursorChanged, readout, [readout](const QStringList &lines) {
        readout->setText(lines.join(QStringLiteral("   │   ")));
    });

    auto *slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QStringLiteral("PoziceZaznamu"));
    slider->setGeometry(4, 320, 620, 20);
    auto *box = new ReplayBox(this);
    box->setGeometry(4, 340, 396, 80);
    button("Prehrat", QStringLiteral("Přehrát"), QRect(406, 346, 100, 24), this);
    auto *speed = combo("Rychlost", QRect(510, 346, 114, 24), this);
    speed->addItems({QStringLiteral("1×"), QStringLiteral("4×"), QStringLiteral("16×")});
    button("KrokZpet", QStringLiteral("◀ Krok"), QRect(406, 373, 100, 24), this);
    button("KrokVpred", QStringLiteral("Krok ▶"), QRect(510, 373, 114, 24), this);
    auto *time = new QLabel(this);
    time->setObjectName(QStringLiteral("CasPrehravani"));
    time->setGeometry(406, 400, 218, 20);
    time->setAlignment(Qt::AlignCenter);

    auto *analyse = button("Rozbor", QStringLiteral("Rozbor"), QRect(4, 84, 100, 24), this);
    analyse->setCheckable(true);
    m_panel = new AnalysisPanel(this);
    m_panel->setGeometry(4, 112, 620, 308);
    m_panel->setAutoFillBackground(true);
    m_panel->hide();
    connect(analyse, &QPushButton::toggled, this, [this](bool on) {
        m_panel->setVisible(on);
        if (on) {
            m_panel->raise();
            if (m_analysis)
                m_analysis->refreshSoon();
        }
    });
    // Where each control goes when the page grows beyond its design size.
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        m_design.push_back({w, w->geometry()});
}

void RecordingsPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The list, the plot and the analysis take the room; the buttons beside the list keep to the
    // right edge, the replay's to the bottom.
    const int dx = std::max(0, width() - DesignWidth), dy = std::max(0, height() - DesignHeight);
    for (const Placed &p : m_design) {
        QRect g = p.design;
        const bool rightColumn = g.left() >= 406 && g.top() < 112;
        const bool belowPlot = g.top() >= 318;
        if (p.widget == m_list)
            g.setWidth(g.width() + dx);
        else if (p.widget == m_plot)
            g.setSize(g.size() + QSize(dx, dy));
        else if (p.widget->objectName() == QLatin1String("KurzorGrafu"))
            g.adjust(0, dy, dx, dy);
        else if (p.widget == m_panel)
            g.setSize(g.size() + QSize(dx, dy));
        else if (rightColumn)
            g.translate(dx, 0);
        else if (belowPlot) {
            g.translate(g.left() >= 400 ? dx : 0, dy);
            if (g.width() >= 600)
                g.setWidth(g.width() + dx);
        }
        p.widget->setGeometry(g);
    }
}

void RecordingsPage::attach(const UnitData *data, const ToolSetup *setup, Prompts *prompts)
{
    m_browser = new RecordingsBrowser(this, setup, prompts);
    m_replay = new ReplayControl(this, data);
    m_analysis = new AnalysisControl(this, m_browser, m_panel, data, prompts);
    connect(m_browser, &RecordingsBrowser::recordingChanged, m_replay, &ReplayControl::reset);
}

void RecordingsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_browser) {
        m_browser->refreshList();
        m_browser->showNewest();
    }
}

#include "historypage.h"
#include "historybrowser.h"
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {
template <typename T> T *place(T *w, const char *name, const QRect &at)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(at);
    return w;
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent, const QRect &at)
{
    return place(new QPushButton(caption, parent), name, at);
}

QTreeWidget *table(const char *name, const QStringList &columns, const QList<int> &widths, QWidget *parent, const QRect &at)
{
    auto *t = place(new QTreeWidget(parent), name, at);
    t->setRootIsDecorated(false);
    t->setUniformRowHeights(true);
    t->setHeaderLabels(columns);
    for (int i = 0; i < widths.size(); ++i)
        t->setColumnWidth(i, widths[i]);
    return t;
}
}  // namespace

HistoryPage::HistoryPage(QWidget *parent) : QWidget(parent)
{
    place(new QLabel(QStringLiteral("Hledat:"), this), "HledatPopis", {8, 6, 46, 18});
    m_search = place(new QLineEdit(this), "HledatJednotku", {56, 4, 166, 22});
    m_nameUnit = button("PojmenovatJednotku", QStringLiteral("Pojmenovat"), this, {226, 3, 82, 24});
    m_nameUnit->setToolTip(QStringLiteral("Dát jednotce \"bez čísla\" její číslo a rok výroby"));
    m_nameUnit->setEnabled(false);
    m_search->setPlaceholderText(QStringLiteral("číslo, rok nebo vozidlo"));
    m_search->setClearButtonEnabled(true);
    m_units = table("Jednotky", {QStringLiteral("Číslo"), QStringLiteral("Rok"), QStringLiteral("Vozidlo"),
                                 QStringLiteral("Naposledy"), QStringLiteral("Návštěv")},
                    {34, 66, 56, 94, 44}, this, {8, 30, 300, 170});
    place(new QLabel(QStringLiteral("Vozidlo:"), this), "VozidloPopis", {8, 208, 50, 18});
    m_vehicle = place(new QLineEdit(this), "Vozidlo", {60, 205, 168, 22});
    m_vehicle->setPlaceholderText(QStringLiteral("SPZ nebo VIN"));
    m_saveVehicle = button("UlozitVozidlo", QStringLiteral("Uložit"), this, {232, 204, 76, 24});
    m_visits = table("Navstevy", {QStringLiteral("Začátek"), QStringLiteral("Technik"), QStringLiteral("PC"), QStringLiteral("Zápisy")},
                     {112, 84, 54, 40}, this, {8, 232, 300, 142});
    m_openReport = button("OtevritProtokol", QStringLiteral("Otevřít protokol"), this, {8, 378, 124, 24});
    place(new QLabel(QStringLiteral("Technik:"), this), "TechnikPopis", {138, 382, 50, 18});
    m_technician = place(new QLineEdit(this), "Technik", {190, 379, 118, 22});
    m_technician->setToolTip(QStringLiteral("Technik této a dalších návštěv"));

    m_cards = place(new QTabWidget(this), "KartyNavstevy", {316, 4, 308, 246});
    m_details = new QTextBrowser;
    m_details->setObjectName(QStringLiteral("Podrobnosti"));
    m_comparison = table("PorovnaniSad", {QStringLiteral("Hodnota"), QStringLiteral("Sada A"), QStringLiteral("Sada B")},
                         {130, 76, 76}, nullptr, {});
    auto *notesCard = new QWidget;
    m_notes = place(new QPlainTextEdit(notesCard), "PoznamkyNavstevy", {});
    m_saveNotes = button("UlozitPoznamky", QStringLiteral("Uložit poznámky"), notesCard, {});
    auto *notesLayout = new QVBoxLayout(notesCard);
    notesLayout->addWidget(m_notes);
    notesLayout->addWidget(m_saveNotes, 0, Qt::AlignRight);
    m_cards->addTab(m_details, QStringLiteral("Podrobnosti"));
    m_cards->addTab(m_comparison, QStringLiteral("Porovnání"));
    m_cards->addTab(notesCard, QStringLiteral("Poznámky"));

    m_sets = table("SadyNavstevy", {QStringLiteral("Čas"), QStringLiteral("Sada"), QStringLiteral("Kontrola")}, {54, 150, 90}, this,
                   {316, 254, 308, 92});
    m_mark = button("OznacitSadu", QStringLiteral("Označit k porovnání"), this, {316, 350, 152, 24});
    m_compareMarked = button("PorovnatSOznacenou", QStringLiteral("Porovnat s označenou"), this, {472, 350, 152, 24});
    m_compareTool = button("PorovnatSProgramem", QStringLiteral("Porovnat s programem"), this, {316, 378, 152, 24});
    m_take = button("NacistSaduDoProgramu", QStringLiteral("Načíst do programu"), this, {472, 378, 152, 24});
    m_status = place(new QLabel(this), "StavKartoteky", {8, 406, 616, 16});
}

void HistoryPage::attach(HistoryStore *store, VisitRecorder *recorder, UnitData *data, const ToolSetup *setup,
                         ServicePage *service, Prompts *prompts)
{
    m_browser = new HistoryBrowser(this, store, recorder, data, setup, service, prompts, this);
}

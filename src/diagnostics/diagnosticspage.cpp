#include "diagnosticspage.h"
#include "recorddisplay.h"
#include "tachoreading.h"
#include "servicecommands.h"
#include "livepage/describevalue.h"
#include "livepage/enterfocus.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace RecordFields;

namespace {
constexpr int FieldTop = 16;
constexpr int FieldStep = 32;
constexpr int CaptionLeft = 16;
constexpr int EditLeft = 124;
constexpr int EditWidth = 110;
constexpr int EditHeight = 24;
constexpr int CounterTop = 28;  // first row inside a column box
constexpr int CounterStep = 40;

QString utf8(const char *text) { return QString::fromUtf8(text); }

QLineEdit *readOnlyEdit(const QString &name, QWidget *parent)
{
    // Empty until a record of the unit now connected is shown: a "0" would pass for a value read.
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    return edit;
}

QPushButton *button(const char *name, const char *caption, const QRect &geometry, QWidget *parent)
{
    auto *b = new QPushButton(utf8(caption), parent);
    b->setObjectName(utf8(name));
    b->setGeometry(geometry);
    return b;
}
}

DiagnosticsPage::DiagnosticsPage(QWidget *parent)
    : QWidget(parent)
{
    buildRecordFields();
    buildCounterTable();

    m_read = button("Button28", "Načtení diagnostiky", QRect(290, 244, 160, 30), this);
    m_clear = button("Button33", "Smazání paměti chyb", QRect(458, 244, 160, 30), this);
    m_store = button("Button34", "Uložení servisu", QRect(EditLeft, 290, EditWidth + 6, 30), this);
    // Enter in the reading moves on to the store, as Enter in a tuning value moves on to its
    // "Ulož"; a second Enter presses it there, as it presses "Ulož".
    moveFocusOnEnter(tachoEdit(), m_store);
    m_store->setAutoDefault(true);

    m_message = new QLabel(QStringLiteral("Načtení OK"), this);
    m_message->setObjectName(QStringLiteral("NacteniDiag"));
    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);
    bold.setPixelSize(14);
    m_message->setFont(bold);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setGeometry(290, 290, 328, 30);
    m_message->hide();

    m_report = button("Protokol", "Protokol", QRect(290, 340, 160, 30), this);
    m_report->setToolTip(QStringLiteral("Servisní protokol jako PDF (Ctrl+T)"));
    m_print = button("Tisk", "Tisk…", QRect(458, 340, 160, 30), this);
    m_print->setToolTip(QStringLiteral("Servisní protokol na tiskárnu"));
}

void DiagnosticsPage::buildRecordFields()
{
    for (int i = 0; i < FieldCount; ++i) {
        const int y = FieldTop + i * FieldStep;
        auto *caption = new QLabel(utf8(Fields[i].caption), this);
        caption->setGeometry(CaptionLeft, y, EditLeft - CaptionLeft - 6, EditHeight);
        m_fields[i] = readOnlyEdit(utf8(Fields[i].name), this);
        m_fields[i]->setGeometry(EditLeft, y, EditWidth, EditHeight);
        caption->setBuddy(m_fields[i]);
    }
    // The one field a technician writes: the reading a service store sends.
    tachoEdit()->setReadOnly(false);
}

void DiagnosticsPage::buildCounterTable()
{
    auto *errors = new QGroupBox(QStringLiteral(" Chyby "), this);
    errors->setObjectName(QStringLiteral("Chyby"));
    errors->setGeometry(290, 8, 328, 224);

    // Three boxes side by side: the power ranges name the rows, rich and lean head the columns.
    struct Column { const char *name; const char *caption; int left; int width; };
    const Column columns[3] = {{"Vykon", " Výkon ", 10, 112}, {"Bohata", " Bohatá ", 128, 92}, {"Chuda", " Chudá", 226, 92}};
    const char *kinds[2] = {"bohatá", "chudá"};
    QGroupBox *boxes[3];
    for (int c = 0; c < 3; ++c) {
        boxes[c] = new QGroupBox(utf8(columns[c].caption), errors);
        boxes[c]->setObjectName(utf8(columns[c].name));
        boxes[c]->setGeometry(columns[c].left, 22, columns[c].width, 194);
    }
    for (int row = 0; row < CounterRows; ++row) {
        const int y = CounterTop + row * CounterStep;
        auto *caption = new QLabel(utf8(Counters[row].caption), boxes[0]);
        caption->setGeometry(10, y, 96, EditHeight);
        const char *names[2] = {Counters[row].rich, Counters[row].lean};
        for (int lean = 0; lean < 2; ++lean) {
            QLineEdit *edit = readOnlyEdit(utf8(names[lean]), boxes[1 + lean]);
            edit->setGeometry(10, y, 72, EditHeight);
            edit->setAlignment(Qt::AlignRight);
            // The row and the column together say what is counted.
            describeValue(edit, QStringLiteral("%1 – %2").arg(utf8(Counters[row].caption), utf8(kinds[lean])));
            m_counters[row][lean] = edit;
        }
    }
}

void DiagnosticsPage::attach(DiagnosticsExchange *link, Prompts *prompts, std::function<QDate()> today)
{
    m_tacho = new TachoReading(this);
    m_display = new RecordDisplay(m_tacho, this, link, this);
    m_service = new ServiceCommands(m_tacho, this, m_display, link, prompts, std::move(today), this);
}

void DiagnosticsPage::showMessage(const QString &text)
{
    m_message->setText(text);
    m_message->show();
}

void DiagnosticsPage::hideMessage()
{
    m_message->hide();
}

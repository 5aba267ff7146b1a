#include "cutoffpage.h"
#include "cutoffcontrol.h"
#include "link/widgets/describevalue.h"
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
QLabel *caption(const QString &text, QWidget *parent, int x, int y, int w)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 20);
    return label;
}
}

CutOffPage::CutOffPage(QWidget *parent) : QWidget(parent)
{
    auto *modes = new QGroupBox(QStringLiteral("Komunikace"), this);
    modes->setGeometry(24, 20, 220, 84);
    m_radio1 = new QRadioButton(QStringLiteral("Komunikace Cut-off"), modes);
    m_radio1->setObjectName(QStringLiteral("RadioButton1"));
    m_radio1->setGeometry(14, 24, 196, 22);
    m_radio2 = new QRadioButton(QStringLiteral("Komunikace Ladění"), modes);
    m_radio2->setObjectName(QStringLiteral("RadioButton2"));
    m_radio2->setGeometry(14, 52, 196, 22);
    // Both may stand unchecked (a recording clears them); exclusivity is kept by hand.
    m_radio1->setAutoExclusive(false);
    m_radio2->setAutoExclusive(false);
    m_radio2->setChecked(true);

    auto *box = new QGroupBox(QStringLiteral("Cut-off"), this);
    box->setGeometry(24, 120, 360, 190);
    m_adresy = new QComboBox(box);
    m_adresy->setObjectName(QStringLiteral("Adresy"));
    m_adresy->setGeometry(14, 26, 180, 24);
    m_adresy->addItems({QStringLiteral("Aktuální Cut-off"), QStringLiteral("Hranice Cut-off")});
    m_adresy->setPlaceholderText(QStringLiteral("Adresy"));
    m_adresy->setCurrentIndex(-1);

    caption(QStringLiteral("Adresa"), box, 210, 28, 50);
    m_adresa = new QLineEdit(QStringLiteral("0"), box);
    m_adresa->setObjectName(QStringLiteral("Adresa"));
    m_adresa->setGeometry(264, 26, 70, 24);
    m_adresa->setReadOnly(true);
    describeValue(m_adresa, QStringLiteral("Adresa"));

    caption(QStringLiteral("Načtená data:"), box, 14, 70, 100);
    m_datac = new QLabel(QStringLiteral("zatim nic"), box);
    m_datac->setObjectName(QStringLiteral("Datac"));
    m_datac->setGeometry(120, 70, 200, 20);
    QFont bold = m_datac->font();
    bold.setBold(true);
    m_datac->setFont(bold);
    describeValue(m_datac, QStringLiteral("Načtená data"));

    m_datawLabel = caption(QStringLiteral("Data"), box, 14, 110, 50);
    m_dataw = new QLineEdit(QStringLiteral("254"), box);
    m_dataw->setObjectName(QStringLiteral("Dataw"));
    m_dataw->setGeometry(120, 108, 70, 24);
    m_datawLabel->setBuddy(m_dataw);
    m_button37 = new QPushButton(QStringLiteral("Zapiš data"), box);
    m_button37->setObjectName(QStringLiteral("Button37"));
    m_button37->setGeometry(14, 148, 120, 28);
    m_dataw->hide();
    m_datawLabel->hide();
}

void CutOffPage::attach(CutOffReader *reader, ScopeRecording *recording, Prompts *prompts)
{
    m_control = new CutOffControl(this, reader, recording, prompts);
}

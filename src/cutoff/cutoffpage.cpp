#include "cutoffpage.h"
#include "cutoffcontrol.h"
#include "livepage/describevalue.h"
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
    m_cutOffMode = new QRadioButton(QStringLiteral("Komunikace Cut-off"), modes);
    m_cutOffMode->setObjectName(QStringLiteral("RadioButton1"));
    m_cutOffMode->setGeometry(14, 24, 196, 22);
    m_tuningMode = new QRadioButton(QStringLiteral("Komunikace Ladění"), modes);
    m_tuningMode->setObjectName(QStringLiteral("RadioButton2"));
    m_tuningMode->setGeometry(14, 52, 196, 22);
    // Both may stand unchecked (a recording clears them); exclusivity is kept by hand.
    m_cutOffMode->setAutoExclusive(false);
    m_tuningMode->setAutoExclusive(false);
    m_tuningMode->setChecked(true);

    auto *box = new QGroupBox(QStringLiteral("Cut-off"), this);
    box->setGeometry(24, 120, 360, 190);
    m_addressChoice = new QComboBox(box);
    m_addressChoice->setObjectName(QStringLiteral("Adresy"));
    m_addressChoice->setGeometry(14, 26, 180, 24);
    m_addressChoice->addItems({QStringLiteral("Aktuální Cut-off"), QStringLiteral("Hranice Cut-off")});
    m_addressChoice->setPlaceholderText(QStringLiteral("Adresy"));
    m_addressChoice->setCurrentIndex(-1);

    caption(QStringLiteral("Adresa"), box, 210, 28, 50);
    m_addressEdit = new QLineEdit(QStringLiteral("0"), box);
    m_addressEdit->setObjectName(QStringLiteral("Adresa"));
    m_addressEdit->setGeometry(264, 26, 70, 24);
    m_addressEdit->setReadOnly(true);
    describeValue(m_addressEdit, QStringLiteral("Adresa"));

    caption(QStringLiteral("Načtená data:"), box, 14, 70, 100);
    m_readValue = new QLabel(QStringLiteral("zatim nic"), box);
    m_readValue->setObjectName(QStringLiteral("Datac"));
    m_readValue->setGeometry(120, 70, 200, 20);
    QFont bold = m_readValue->font();
    bold.setBold(true);
    m_readValue->setFont(bold);
    describeValue(m_readValue, QStringLiteral("Načtená data"));

    m_writeValueLabel = caption(QStringLiteral("Data"), box, 14, 110, 50);
    m_writeValue = new QLineEdit(QStringLiteral("254"), box);
    m_writeValue->setObjectName(QStringLiteral("Dataw"));
    m_writeValue->setGeometry(120, 108, 70, 24);
    m_writeValueLabel->setBuddy(m_writeValue);
    m_writeButton = new QPushButton(QStringLiteral("Zapiš data"), box);
    m_writeButton->setObjectName(QStringLiteral("Button37"));
    m_writeButton->setGeometry(14, 148, 120, 28);
    m_writeValue->hide();
    m_writeValueLabel->hide();
}

void CutOffPage::attach(CutOffReader *reader, ScopeRecording *recording, Prompts *prompts)
{
    m_control = new CutOffControl(this, reader, recording, prompts);
}

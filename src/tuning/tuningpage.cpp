#include "tuningpage.h"
#include "link/linkmessagelabel.h"
#include "link/livebox.h"
#include <QLabel>
#include <QPushButton>

TuningPage::TuningPage(UnitData *data, QWidget *parent)
    : QWidget(parent), m_data(data)
{
    m_liveBox = new LiveBox(data, this);
    m_liveBox->setGeometry(168, 0, 244, 124);

    // Top right: the whole-unit commands, two columns of three.
    for (int i = 0; i < 6; ++i) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        button->setGeometry(418 + (i % 2) * 104, 6 + (i / 2) * 34, 100, 30);
        m_buttons[i] = button;
    }
    setCommandCaptions({QStringLiteral("Odeslat do ŘJ"), QStringLiteral("Načíst z ŘJ"), QStringLiteral("Konec"),
                        QStringLiteral("RAM->EEPROM"), QStringLiteral("Tovární reset"), QStringLiteral("EEPROM -> RAM")});

    m_nacteni = makeLinkMessageLabel(QStringLiteral("Nacteni"), this);
    m_nacteni->setGeometry(418, 108, 206, 20);
}

void TuningPage::setCommandCaptions(const QStringList &captions)
{
    for (int i = 0; i < 6 && i < captions.size(); ++i)
        m_buttons[i]->setText(captions.at(i));
}

void TuningPage::showLinkMessage(const QString &text)
{
    m_nacteni->setText(text);
    m_nacteni->show();
}

void TuningPage::setLinkMessageText(const QString &text)
{
    m_nacteni->setText(text);
}

void TuningPage::hideLinkMessage()
{
    m_nacteni->hide();
}

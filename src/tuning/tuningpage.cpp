#include "tuningpage.h"
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

    m_nacteni = new QLabel(QStringLiteral("Načteno  OK"), this);
    m_nacteni->setObjectName(QStringLiteral("Nacteni"));
    QFont bold = m_nacteni->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    m_nacteni->setFont(bold);
    m_nacteni->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    m_nacteni->setGeometry(418, 108, 206, 20);
    m_nacteni->setAlignment(Qt::AlignCenter);
    m_nacteni->hide();
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

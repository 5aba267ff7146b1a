#include "connectionline.h"
#include "livepage/describevalue.h"
#include <QHBoxLayout>
#include <QLabel>

namespace {

using Health = LinkConnection::Health;

struct HealthLook
{
    Health health;
    const char *text;
    const char *background;
};

const HealthLook looks[] = {
    {Health::Closed, "Port zavřen", "#d8d8d8"},
    {Health::Waiting, "Čekám na jednotku", "#d8d8d8"},
    {Health::Answering, "Připojeno", "#3cb043"},
    {Health::Silent, "Jednotka neodpovídá", "#ffbf00"},
    {Health::Missing, "Port nenalezen", "#e03c31"},
    {Health::Busy, "Port obsazen", "#e03c31"},
    {Health::Denied, "Port nepřístupný", "#e03c31"},
    {Health::Failed, "Port nelze otevřít", "#e03c31"},
    {Health::Lost, "Spojení přerušeno", "#e03c31"},
};

const HealthLook &lookOf(Health health)
{
    for (const HealthLook &look : looks) {
        if (look.health == health)
            return look;
    }
    return looks[0];
}

}  // namespace

ConnectionLine::ConnectionLine(PortSource ports, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("ConnectionLine"));
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(6);

    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("PortState"));
    m_state->setAlignment(Qt::AlignCenter);
    m_state->setFixedWidth(150);
    QFont bold = m_state->font();
    bold.setBold(true);
    m_state->setFont(bold);
    describeValue(m_state, QStringLiteral("Stav spojení"));
    layout->addWidget(m_state);

    m_recording = new QLabel(this);
    m_recording->setObjectName(QStringLiteral("StavZaznamuRadek"));
    m_recording->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    m_recording->hide();
    layout->addWidget(m_recording);

    m_history = new QLabel(this);
    m_history->setObjectName(QStringLiteral("StavKartotekyRadek"));
    m_history->setStyleSheet(QStringLiteral("color: #a05000; font-weight: bold;"));
    m_history->hide();
    layout->addWidget(m_history);

    m_outcomes = new QLabel(this);
    m_outcomes->setObjectName(QStringLiteral("ZpravaRadek"));
    m_outcomes->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); font-weight: bold;"));
    m_outcomes->hide();
    layout->addWidget(m_outcomes);

    auto *caption = new QLabel(QStringLiteral("Port:"), this);
    layout->addWidget(caption);
    m_picker = new PortPicker(std::move(ports), this);
    layout->addWidget(m_picker, 1);
    caption->setBuddy(m_picker);
    showHealth(Health::Closed);
}

QString ConnectionLine::healthText(Health health)
{
    return QString::fromUtf8(lookOf(health).text);
}

void ConnectionLine::showHealth(Health health, const QString &problem)
{
    const HealthLook &look = lookOf(health);
    m_state->setText(QString::fromUtf8(look.text));
    m_state->setStyleSheet(QStringLiteral("background: %1; color: black; border-radius: 3px;")
                               .arg(QLatin1String(look.background)));
    m_state->setToolTip(problem);
    m_picker->setPortOpen(health == Health::Waiting || health == Health::Answering || health == Health::Silent);
}

void ConnectionLine::showNoPortChosen(const QString &hint)
{
    showHealth(Health::Closed, hint);
    m_state->setText(QStringLiteral("Vyberte port"));
    m_state->setStyleSheet(QStringLiteral("background: #ffbf00; color: black; border-radius: 3px;"));
}

void ConnectionLine::showHistory(const QString &text, const QString &problem)
{
    m_history->setText(text);
    m_history->setToolTip(problem);
    m_history->setVisible(!text.isEmpty());
}

void ConnectionLine::showRecording(const QString &text)
{
    m_recording->setText(text);
    m_recording->setVisible(!text.isEmpty());
}

void ConnectionLine::showUnseenOutcomes(const QString &text)
{
    m_outcomes->setText(text);
    m_outcomes->setVisible(!text.isEmpty());
}

#include "tuningpage.h"
#include "ramonlymark.h"
#include "link/unitdata.h"
#include "livepage/linkmessagelabel.h"
#include "arrowimage.h"
#include "blockdisplay.h"
#include "parameditor.h"
#include "paramfields.h"
#include "describefield.h"
#include "paramnames.h"
#include "spinedit.h"
#include "unitcommands.h"
#include "livepage/describevalue.h"
#include "livepage/livebox.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int RangeTop = 130;
constexpr int RangeWidth = 150;
constexpr int RangeHeight = 250;
constexpr int RangeStep = 157;
constexpr int ThresholdTop = 150;
constexpr int ThresholdLeft[3] = {29, 228, 425};

void paint(QWidget *widget, const QColor &colour)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    widget->setPalette(pal);
}

QLabel *label(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    return l;
}

QString fromTable(const char *caption)
{
    return QString::fromUtf8(caption);
}

QPushButton *saveButtonAt(const char *name, const ParamNames::Field &field, int x, int y, QWidget *parent)
{
    auto *button = new QPushButton(QStringLiteral("Ulož"), parent);
    button->setObjectName(QString::fromLatin1(name));
    // Nineteen buttons say "Ulož"; each says what it saves.
    const QString what = QStringLiteral("Ulož – %1").arg(ParamNames::name(field));
    button->setAccessibleName(what);
    button->setToolTip(what);
    button->setGeometry(x, y, 46, 30);
    // Enter on a focused "Ulož" presses it, as the technician expects after Enter in its value.
    button->setAutoDefault(true);
    return button;
}
}

TuningPage::TuningPage(UnitData *data, const ToolSetup *setup, QWidget *parent)
    : QWidget(parent), m_data(data), m_setup(setup)
{
    buildTextEdits();

    m_liveBox = new LiveBox(data, this);
    m_liveBox->setGeometry(168, 0, 244, 124);

    // Top right: the whole-unit commands, two columns of three.
    for (int i = 0; i < 6; ++i) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        button->setGeometry(418 + (i % 2) * 104, 6 + (i / 2) * 34, 100, 30);
        // Captions from TESTER.INI run longer than the design ones; a size smaller keeps them whole.
        QFont font = button->font();
        font.setPixelSize(11);
        button->setFont(font);
        m_buttons[i] = button;
    }
    setCommandCaptions({QStringLiteral("Odeslat do ŘJ"), QStringLiteral("Načíst z ŘJ"), QStringLiteral("Konec"),
                        QStringLiteral("RAM->EEPROM"), QStringLiteral("Tovární reset"), QStringLiteral("EEPROM -> RAM")});

    m_linkMessageLabel = makeLinkMessageLabel(QStringLiteral("Nacteni"), this);
    m_linkMessageLabel->setGeometry(418, 108, 206, 20);
    m_ramOnlyMark = makeRamOnlyMark(QStringLiteral("ZmenyJenVRam"), data->set(), this);
    // In the live box's free corner, beside "Poloha", near the commands that settle it.
    m_ramOnlyMark->setGeometry(282, 86, 130, 36);
    m_ramOnlyMark->setWordWrap(true);
    QFont small = m_ramOnlyMark->font();
    small.setPixelSize(11);
    m_ramOnlyMark->setFont(small);

    buildRangeBoxes();
    buildThresholdBoxes();
    buildStatusBoxes();
}

void TuningPage::buildTextEdits()
{
    for (int i = 0; i < ParamFields::TextCount; ++i) {
        const ParamFields::TextField &field = ParamFields::Texts[i];
        const int y = 5 + 30 * i;
        auto *panel = new QLabel(fromTable(field.caption), this);
        panel->setObjectName(QString::fromLatin1(field.panel));
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(1);
        panel->setAlignment(Qt::AlignCenter);
        // The longer captions take two lines rather than losing their ends.
        panel->setWordWrap(true);
        QFont small = panel->font();
        small.setPixelSize(11);
        panel->setFont(small);
        panel->setGeometry(4, y, 100, 28);
        auto *edit = new QLineEdit(QStringLiteral("0"), this);
        edit->setObjectName(QString::fromLatin1(field.name));
        edit->setGeometry(106, y, 55, 28);
        describeField(edit, *ParamNames::param(field.index));
        panel->setBuddy(edit);
        m_texts[field.index] = edit;
    }

    m_versionLabel = label(fromTable(ParamNames::Caption::SetVersion), QRect(4, 94, 160, 16), this);
    m_versionLabel->setObjectName(QStringLiteral("Verze"));
    QFont bold = m_versionLabel->font();
    bold.setBold(true);
    m_versionLabel->setFont(bold);
    describeValue(m_versionLabel, fromTable(ParamNames::Caption::SetVersion));
    m_tpsLogicLabel = label(QStringLiteral("Typ TPS"), QRect(4, 111, 160, 16), this);
    m_tpsLogicLabel->setObjectName(QStringLiteral("TpsNastaveni"));
    describeValue(m_tpsLogicLabel, QStringLiteral("Typ TPS"));
}

void TuningPage::addSpinRow(int index, QWidget *box, int x, int y)
{
    const ParamFields::SpinField &field = *ParamFields::spinField(index);
    auto *spin = new SpinEdit(QString::fromLatin1(field.name), 0, field.maximum, box);
    spin->setGeometry(x, y, 60, 34);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(21);
    font.setBold(true);
    spin->setFont(font);
    const ParamNames::Field &names = *ParamNames::param(index);
    describeField(spin, names);
    m_spins[index] = spin;
    m_saves[index] = saveButtonAt(field.saveButton, names, x + 64, y + 2, box);
}

void TuningPage::buildRangeBoxes()
{
    for (int r = 0; r < PowerRangeCount; ++r) {
        const ParamFields::RangeBox &range = ParamFields::Ranges[r];
        auto *box = new QGroupBox(fromTable(range.caption), this);
        box->setObjectName(QString::fromLatin1(range.name));
        box->setGeometry(4 + RangeStep * r, RangeTop, RangeWidth, RangeHeight);
        paint(box, rangeIdleColor());
        m_rangeBoxes[r] = box;

        // The thresholds sit over the top of the boxes; the servo values fill the rest.
        label(fromTable(ParamNames::Caption::ServoStop), QRect(6, 74, 140, 14), box);
        label(fromTable(ParamNames::Caption::ServoSpeed), QRect(6, 160, 140, 14), box);
        int y[4] = {88, 124, 174, 210};
        int row = 0;
        for (const ParamFields::SpinField &field : ParamFields::Spins) {
            if (field.kind == ParamFields::Kind::Threshold || int(field.range) != r)
                continue;
            label(fromTable(field.caption), QRect(4, y[row], 30, 34), box);
            addSpinRow(field.index, box, 34, y[row]);
            ++row;
        }
    }
}

void TuningPage::buildThresholdBoxes()
{
    const int indices[3] = {ParamBlock::TpsThreshold1, ParamBlock::TpsThreshold2, ParamBlock::TpsThreshold3};
    for (int i = 0; i < 3; ++i) {
        auto *box = new QGroupBox(fromTable(ParamNames::param(indices[i])->group), this);
        box->setObjectName(QStringLiteral("GroupBoxTps%1").arg(i + 1));
        box->setGeometry(ThresholdLeft[i], ThresholdTop, 190, 52);
        paint(box, QColor(0, 255, 255));
        auto *left = new ArrowImage(Qt::LeftArrow, box);
        left->setObjectName(QStringLiteral("TpsArrowLeft%1").arg(i + 1));
        left->setGeometry(4, 18, 30, 28);
        addSpinRow(indices[i], box, 38, 15);
        auto *right = new ArrowImage(Qt::RightArrow, box);
        right->setObjectName(QStringLiteral("TpsArrowRight%1").arg(i + 1));
        right->setGeometry(102, 18, 30, 28);
        m_saves[indices[i]]->move(138, 17);
        box->raise();
    }
}

void TuningPage::buildStatusBoxes()
{
    const int bytes[3] = {ParamBlock::UnitFlags, ParamBlock::TpsFlags, ParamBlock::LambdaFlags};
    for (int i = 0; i < 3; ++i) {
        const ParamNames::Field &field = *ParamNames::param(bytes[i]);
        auto *box = new QGroupBox(this);
        box->setObjectName(QStringLiteral("GroupBoxStatus%1").arg(i + 1));
        box->setGeometry(4 + 210 * i, 383, 200, 36);
        label(fromTable(field.caption), QRect(10, 8, 60, 20), box);
        auto *value = label(QStringLiteral("00000000"), QRect(80, 8, 110, 20), box);
        value->setObjectName(QString::fromLatin1(field.field));
        describeValue(value, fromTable(field.caption));
        QFont mono(QStringLiteral("Monospace"));
        mono.setStyleHint(QFont::TypeWriter);
        mono.setPixelSize(14);
        mono.setBold(true);
        value->setFont(mono);
        m_status[bytes[i]] = value;
    }
}

void TuningPage::attach(CommandExchange *commands, BlockRead *blockRead, BlockWrite *blockWrite, MemoryCheck *check,
                        Prompts *prompts, LiveValuesPage *livePage)
{
    m_display = new BlockDisplay(m_data, m_setup, this, livePage, this);
    m_editor = new ParamEditor(m_data, this, m_display, commands, check, prompts, this);
    m_commands = new UnitCommands(m_data, this, m_display, commands, blockRead, blockWrite, prompts, this);
}

SpinEdit *TuningPage::spinEdit(int index) const
{
    return index >= 0 && index < ParamBlock::Size ? m_spins[index] : nullptr;
}

QPushButton *TuningPage::saveButton(int index) const
{
    return index >= 0 && index < ParamBlock::Size ? m_saves[index] : nullptr;
}

QLineEdit *TuningPage::textEdit(int index) const
{
    return index >= 0 && index < ParamBlock::Size ? m_texts[index] : nullptr;
}

QLabel *TuningPage::statusLabel(int index) const
{
    return index >= 0 && index < ParamBlock::Size ? m_status[index] : nullptr;
}

void TuningPage::setCommandCaptions(const QStringList &captions)
{
    for (int i = 0; i < 6 && i < captions.size(); ++i)
        m_buttons[i]->setText(captions.at(i));
}

void TuningPage::showLinkMessage(const QString &text)
{
    m_linkMessageLabel->setText(text);
    m_linkMessageLabel->show();
    m_linkMessageLabel->raise();
}

void TuningPage::setLinkMessageText(const QString &text)
{
    m_linkMessageLabel->setText(text);
}

void TuningPage::hideLinkMessage()
{
    m_linkMessageLabel->hide();
}

#include "lambdapage.h"
#include "tuning/ramonlymark.h"
#include "link/unitdata.h"
#include "emulationlevels.h"
#include "emulationmeasurement.h"
#include "lambdastatuseditor.h"
#include "livepage/linkmessagelabel.h"
#include "tuning/describefield.h"
#include "tuning/tuningpage.h"
#include "tuning/unitcommands.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace LambdaFields;

namespace {
constexpr int LeftColumn = 8, LeftWidth = 224;
constexpr int MiddleColumn = 242, MiddleWidth = 180;
constexpr int RightColumn = 434, RightWidth = 182;

// Box tops and heights of the radio groups: the emulation type has four choices, the others two.
constexpr int RadioGroupTop[GroupCount] = {6, 124, 196, 268};
constexpr int RadioGroupHeight[GroupCount] = {112, 66, 66, 66};
constexpr int RadioStep = 22;

constexpr const char *ByteGroupNames[] = {"GroupBoxCasVol", "GroupBoxCasZvys", "GroupBoxUrovVol", "GroupBoxUrovZvys"};
constexpr int ByteGroupStep = 76;
}

LambdaPage::LambdaPage(UnitData *data, const ToolSetup *setup, QWidget *parent)
    : QWidget(parent), m_data(data), m_setup(setup)
{
    buildRadioGroups();
    buildByteGroups();
    buildButtons();

    m_measurementText = new QLabel(QStringLiteral("Měření neběží"), this);
    m_measurementText->setObjectName(QStringLiteral("EmText"));
    m_measurementText->setGeometry(RightColumn, 194, RightWidth, 44);
    m_measurementText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_measurementText->setAlignment(Qt::AlignCenter);
    // The texts come from TESTER.INI and may run longer than one line.
    m_measurementText->setWordWrap(true);
    QFont bold = m_measurementText->font();
    bold.setBold(true);
    m_measurementText->setFont(bold);

    m_measurementCode = new QLabel(QStringLiteral("xx"), this);
    m_measurementCode->setObjectName(QStringLiteral("EmHex"));
    m_measurementCode->setGeometry(RightColumn, 242, 30, 20);
    m_measurementCode->hide();

    m_linkMessageLabel = makeLinkMessageLabel(QStringLiteral("Nacteni1"), this);
    m_linkMessageLabel->setGeometry(RightColumn - 14, 380, RightWidth + 14, 20);
}

void LambdaPage::buildRadioGroups()
{
    QGroupBox *boxes[GroupCount];
    int placed[GroupCount] = {};
    for (int g = 0; g < GroupCount; ++g) {
        boxes[g] = new QGroupBox(QString::fromUtf8(Groups[g].caption), this);
        boxes[g]->setObjectName(QString::fromLatin1(Groups[g].name));
        boxes[g]->setGeometry(LeftColumn, RadioGroupTop[g], LeftWidth, RadioGroupHeight[g]);
    }
    for (int i = 0; i < RadioCount; ++i) {
        const int g = int(Radios[i].group);
        auto *radio = new QRadioButton(QString::fromUtf8(Radios[i].caption), boxes[g]);
        radio->setObjectName(QString::fromLatin1(Radios[i].name));
        radio->setGeometry(10, 18 + RadioStep * placed[g]++, LeftWidth - 20, 20);
        m_radios[i] = radio;
    }
}

void LambdaPage::buildByteGroups()
{
    QGroupBox *box = nullptr;
    int inBox = 0, boxes = 0;
    for (int i = 0; i < ByteCount; ++i) {
        const ByteField &field = Bytes[i];
        if (!box || box->title() != QString::fromUtf8(field.group)) {
            box = new QGroupBox(QString::fromUtf8(field.group), this);
            box->setObjectName(QString::fromLatin1(ByteGroupNames[boxes]));
            box->setGeometry(MiddleColumn, 6 + ByteGroupStep * boxes, MiddleWidth, 70);
            ++boxes;
            inBox = 0;
        }
        const int x = 12 + 86 * inBox++;
        auto *caption = new QLabel(QString::fromUtf8(field.caption), box);
        caption->setGeometry(x, 18, 74, 16);
        auto *edit = new QLineEdit(QString::fromLatin1(field.initial), box);
        edit->setObjectName(QString::fromLatin1(field.name));
        edit->setGeometry(x, 36, 74, 26);
        edit->setEnabled(false);
        describeField(edit, *ParamNames::byName(field.name));
        m_bytes[i] = edit;
    }
}

QPushButton *LambdaPage::addButton(const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

void LambdaPage::buildButtons()
{
    m_saveStatus = addButton("Button25", QStringLiteral("Ulož"), QRect(LeftColumn, 342, LeftWidth, 32));
    m_pending = new QLabel(QStringLiteral("Neuloženo – stiskněte Ulož"), this);
    m_pending->setObjectName(QStringLiteral("NeulozeneVolby"));
    m_pending->setGeometry(LeftColumn, 378, LeftWidth, 18);
    m_pending->setAlignment(Qt::AlignCenter);
    m_pending->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); font-weight: bold;"));
    m_pending->hide();
    const int levelTop = 6 + ByteGroupStep * 4;
    m_readLevels = addButton("Button39", QStringLiteral("Načti úrovně"), QRect(MiddleColumn, levelTop, 88, 30));
    m_writeLevels = addButton("Button38", QStringLiteral("Ulož úrovně"), QRect(MiddleColumn + 92, levelTop, 88, 30));
    m_writeLevels->setEnabled(false);
    m_readBlock = addButton("Button42", QStringLiteral("Načti z ŘJ"), QRect(RightColumn, 6, RightWidth, 30));
    m_commitToEeprom = addButton("Button35", QStringLiteral("RAM->EEPROM"), QRect(RightColumn, 42, RightWidth, 30));
    QLabel *ramOnly = makeRamOnlyMark(QStringLiteral("ZmenyJenVRam1"), m_data->set(), this);
    ramOnly->setGeometry(RightColumn, 76, RightWidth, 40);
    ramOnly->setWordWrap(true);
    m_measureIdle = addButton("Button27", QStringLiteral("Měření emulace volnoběh"), QRect(RightColumn, 120, RightWidth, 30));
    m_measureRaised = addButton("Button32", QStringLiteral("Měření emulace zvýšené"), QRect(RightColumn, 156, RightWidth, 30));
}

void LambdaPage::attach(LinkTransport *link, LevelExchange *levels,
                        MeasurementExchange *measurement, MemoryCheck *check, TuningPage *tuning, LiveValuesPage *livePage)
{
    m_status = new LambdaStatusEditor(m_data, this, tuning, link, livePage, this);
    m_levels = new EmulationLevels(m_data, this, tuning, levels, check, this);
    m_measurement = new EmulationMeasurement(m_setup, this, measurement, this);
    // The read and the commit work here as they do on the tuning page.
    UnitCommands *commands = tuning->commands();
    connect(m_readBlock, &QPushButton::clicked, commands, &UnitCommands::readBlock);
    connect(m_commitToEeprom, &QPushButton::clicked, commands, [commands] { commands->commitToEeprom(); });
}

#include "scopepage.h"
#include "colourswatch.h"
#include "scopecontrol.h"
#include "scopesamples.h"
#include "scopeview.h"
#include "livepage/describevalue.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

namespace {
template <typename T> T *named(T *w, const char *name, int x, int y, int width, int height)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
    return w;
}
QLabel *caption(const QString &text, QWidget *parent, int x, int y, int w)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 22);
    return label;
}
QComboBox *choices(QWidget *parent, const QStringList &items, const QString &text)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
    return box;
}
}

ScopePage::ScopePage(QWidget *parent) : QWidget(parent), m_samples(new ScopeSamples)
{
    caption(QStringLiteral("Kanál 1"), this, 4, 4, 46);
    m_addressNames1 = named(new QComboBox(this), "TAdr1", 50, 4, 130, 22);
    m_address1 = named(new QLineEdit(QStringLiteral("0"), this), "Adr1", 184, 4, 38, 22);
    m_swatch1 = named(new ColourSwatch(QColor(255, 0, 0), this), "Panel4", 226, 4, 25, 23);
    caption(QStringLiteral("Kanál 2"), this, 4, 30, 46);
    m_addressNames2 = named(new QComboBox(this), "TAdr2", 50, 30, 130, 22);
    m_address2 = named(new QLineEdit(QStringLiteral("1"), this), "Adr2", 184, 30, 38, 22);
    m_swatch2 = named(new ColourSwatch(QColor(255, 255, 0), this), "Panel5", 226, 30, 25, 23);

    m_oneChannel = named(new QRadioButton(QStringLiteral("Jednokanal"), this), "RadioButton3", 262, 4, 96, 22);
    m_twoChannels = named(new QRadioButton(QStringLiteral("Dvoukanal"), this), "RadioButton4", 262, 30, 96, 22);
    auto *mode = new QButtonGroup(this);  // exclusive between these two only
    mode->addButton(m_oneChannel);
    mode->addButton(m_twoChannels);
    m_oneChannel->setChecked(true);

    m_recordBox = named(new QCheckBox(QStringLiteral("Zapni záznam"), this), "ZapOsc", 362, 4, 110, 22);
    m_state = named(new QLabel(this), "ZaznamStav", 362, 56, 110, 22);
    describeValue(m_state, QStringLiteral("Stav záznamu"));
    m_state->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    caption(QStringLiteral("Lupa"), this, 362, 30, 30);
    m_scale = named(choices(this, {QStringLiteral("0.1"), QStringLiteral("0.2"), QStringLiteral("0.5"),
                                        QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5"),
                                        QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("50")},
                                 QStringLiteral(" 1")),
                         "Vzorkovani", 394, 30, 70, 22);
    caption(QStringLiteral("Tloušťka"), this, 476, 4, 56);
    QStringList widths;
    for (int w = 1; w <= 10; ++w)
        widths << QString::number(w);
    m_lineWidth = named(choices(this, widths, QStringLiteral("3")), "Tl", 532, 4, 86, 22);
    m_exportButton = named(new QPushButton(QStringLiteral("Uloz data"), this), "Button36", 476, 30, 142, 24);
    m_picture = named(new QPushButton(QStringLiteral("Uložit obrázek"), this), "UlozObrazek", 476, 56, 142, 24);

    m_scrollBox = named(new QScrollArea(this), "SB1", 4, 84, 617, 340);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_view = new ScopeView(m_samples);
    m_view->setObjectName(QStringLiteral("PB1"));
    // Wide enough for a whole recording at the starting scale.
    m_view->setFixedSize(ScopeDrawing::boxWidth(1.0), ScopeDrawing::Height);
    m_scrollBox->setWidget(m_view);
}

ScopePage::~ScopePage()
{
    delete m_scrollBox;  // the paint box reads the samples while it goes
    delete m_samples;
}

void ScopePage::attach(ScopeRecording *recording, Prompts *prompts)
{
    m_control = new ScopeControl(this, recording, prompts);
}

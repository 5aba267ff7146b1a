#include "scopecontrol.h"
#include "colourswatch.h"
#include "scopeexport.h"
#include "scopepage.h"
#include "scopesamples.h"
#include "scopeview.h"
#include "prompts/prompts.h"
#include "link/scoperecording.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <cmath>

namespace {
constexpr int ScrollStep = 100;
constexpr int ScrollAhead = 550;   // the newest sample stays in the right part of the view
constexpr int ScrollBehind = 400;
constexpr int MaxWidth = 100;      // thicker lines only hide the trace
// Below this a whole recording would not fit into the widest box the toolkit allows.
constexpr double MinZoom = 0.0002;
}

ScopeControl::ScopeControl(ScopePage *page, ScopeRecording *recording, Prompts *prompts)
    : QObject(page), m_page(page), m_recording(recording), m_prompts(prompts)
{
    for (int channel : {1, 2}) {
        connect(page->names(channel), qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this, channel] { takeAddressName(channel); });
        connect(page->address(channel), &QLineEdit::textChanged, this, [this, channel] { takeAddress(channel); });
        connect(page->swatch(channel), &ColourSwatch::clicked, this, [this, channel] { chooseColour(channel); });
    }
    connect(page->twoChannels(), &QRadioButton::toggled, this, &ScopeControl::updateChannels);
    connect(page->recordBox(), &QCheckBox::clicked, this, &ScopeControl::switchRecording);
    // Typing takes effect when the technician finishes the entry, not at every key.
    connect(page->scale(), &QComboBox::textActivated, this, &ScopeControl::setScale);
    connect(page->scale()->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { setScale(m_page->scale()->currentText()); });
    connect(page->lineWidth(), &QComboBox::textActivated, this, &ScopeControl::setLineWidth);
    connect(page->lineWidth()->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { setLineWidth(m_page->lineWidth()->currentText()); });
    connect(page->exportButton(), &QPushButton::clicked, this, &ScopeControl::exportSamples);
    connect(page->pictureButton(), &QPushButton::clicked, this, &ScopeControl::savePicture);

    connect(recording, &ScopeRecording::recordingStarted, this, [this] {
        m_page->samples().clear();
        m_page->view()->redrawAll();
    });
    connect(recording, &ScopeRecording::recordingStopped, this, [this] {
        const QSignalBlocker blocker(m_page->recordBox());
        m_page->recordBox()->setChecked(false);
    });
    connect(recording, &ScopeRecording::recordingTick, this, &ScopeControl::scrollTo);
    connect(recording, &ScopeRecording::recordedValue, this, &ScopeControl::takeValue);
    connect(recording, &ScopeRecording::sampleRecorded, this, &ScopeControl::takeSample);
    connect(recording, &LinkReader::readerSilenceChanged, this, [this](bool silent) {
        m_page->recordState()->setText(silent && m_recording->recording() ? noAnswerText() : QString());
    });
    updateChannels();
}

void ScopeControl::fillAddressNames(const QStringList &names)
{
    m_names = names;
    for (int channel : {1, 2}) {
        QComboBox *box = m_page->names(channel);
        for (const QString &name : names) {
            if (name != QLatin1String("NIC"))
                box->addItem(name);
        }
        box->setCurrentIndex(-1);
        box->setCurrentIndex(0);
    }
}

void ScopeControl::takeAddressName(int channel)
{
    const QString name = m_page->names(channel)->currentText();
    if (m_page->names(channel)->currentIndex() < 0)
        return;
    // Several addresses may share a name: the highest one stays in the edit.
    for (int address = 0; address < m_names.size(); ++address) {
        if (m_names.at(address) == name)
            m_page->address(channel)->setText(QString::number(address));
    }
}

void ScopeControl::takeAddress(int channel)
{
    QLineEdit *edit = m_page->address(channel);
    bool ok = false;
    const qlonglong number = edit->text().trimmed().toLongLong(&ok);
    if (!ok) {
        m_prompts->beep();
        edit->setText(QStringLiteral("0"));  // runs this again, which takes address 0
        return;
    }
    if (number > 255) {
        edit->setText(QStringLiteral("255"));
        return;
    }
    if (number < 0) {
        edit->setText(QStringLiteral("0"));
        return;
    }
    (channel == 1 ? m_channel1 : m_channel2) = int(number);
    showAddressName(channel, int(number));
    updateChannels();
}

void ScopeControl::showAddressName(int channel, int address)
{
    QComboBox *box = m_page->names(channel);
    const QString name = address < m_names.size() ? m_names.at(address) : QString();
    const int item = name.isEmpty() || name == QLatin1String("NIC") ? -1 : box->findText(name);
    // Moved quietly: the list's own change would put the highest address of a shared name into
    // the edit in place of the one typed.
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(item);
}

void ScopeControl::updateChannels()
{
    const bool two = m_page->twoChannels()->isChecked();
    m_page->view()->style().twoChannels = two;
    m_recording->setRecordingChannels(quint8(m_channel1), quint8(m_channel2), two);
}

void ScopeControl::switchRecording()
{
    if (!m_page->recordBox()->isChecked()) {
        m_recording->stopRecording();
        return;
    }
    if (m_channel1 == m_channel2)
        m_page->oneChannel()->setChecked(true);
    m_recording->startRecording(quint8(m_channel1), quint8(m_channel2), m_page->twoChannels()->isChecked());
    m_page->recordState()->clear();
}

void ScopeControl::scrollTo(int samples)
{
    QScrollBar *bar = m_page->scrollBox()->horizontalScrollBar();
    int p = bar->value();
    const double x = samples / zoom();
    while (p + ScrollAhead < x)
        p += ScrollStep;
    while (p - ScrollBehind > x)
        p -= ScrollStep;
    if (p != bar->value())
        bar->setValue(p);
}

void ScopeControl::takeValue(int channel, int index, int value)
{
    m_page->samples().setValue(channel, index, value);
}

void ScopeControl::takeSample(int index)
{
    m_page->samples().setCount(index + 1);
    m_page->view()->drawSegment(index);
}

double ScopeControl::zoom() const
{
    return m_page->view()->style().zoom;
}

void ScopeControl::setScale(const QString &text)
{
    bool ok = false;
    // The items are written with a point; a Czech technician types a comma.
    const double value = QString(text.trimmed()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    // Every position divides by the scale: nothing else may reach it.
    if (!ok || !std::isfinite(value) || value < MinZoom) {
        m_prompts->beep();
        m_page->scale()->setEditText(m_scaleText);
        return;
    }
    m_scaleText = text;
    m_page->view()->style().zoom = value;
    m_page->view()->setFixedWidth(ScopeDrawing::boxWidth(value));
    m_page->view()->redrawAll();
}

void ScopeControl::setLineWidth(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > MaxWidth) {
        m_prompts->beep();
        m_page->lineWidth()->setEditText(m_widthText);
        return;
    }
    m_widthText = text;
    m_page->view()->style().width = value;
    m_page->view()->redrawAll();
}

void ScopeControl::chooseColour(int channel)
{
    const QColor colour = m_prompts->pickColour(m_dialogColour);
    if (!colour.isValid())
        return;
    m_dialogColour = colour;
    (channel == 1 ? m_page->view()->style().colour1 : m_page->view()->style().colour2) = colour;
    m_page->swatch(channel)->setColour(colour);
}

void ScopeControl::exportSamples()
{
    if (!writeScopeExport(QDir(m_dataFolder).filePath(exportName()), m_page->samples()))
        m_prompts->message(QStringLiteral("Error"), QStringLiteral("Nelze vytvorit vystupni soubor"));
    else
        m_prompts->message(QStringLiteral("Info"), QStringLiteral("Uloženo: %1 (%2 vzorků)")
                                                       .arg(exportName()).arg(m_page->samples().count()));
}

void ScopeControl::savePicture()
{
    const QString name = QStringLiteral("osc_%1.png")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    const QImage image = ScopeDrawing::picture(m_page->samples(), m_page->view()->style(), m_page->view()->font());
    if (!image.save(QDir(m_dataFolder).filePath(name), "PNG"))
        m_prompts->message(QStringLiteral("Error"), QStringLiteral("Nelze uložit obrázek"));
    else
        m_prompts->message(QStringLiteral("Info"), QStringLiteral("Obrázek uložen: ") + name);
}

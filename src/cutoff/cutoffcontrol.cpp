#include "cutoffcontrol.h"
#include "byteedit.h"
#include "cutoffpage.h"
#include "link/cutoffreader.h"
#include "link/scoperecording.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {
struct AddressChoice { int address; bool writable; };
// Item 0 is the module's current value, item 1 its threshold, which the technician may set.
constexpr AddressChoice Choices[] = {{241, false}, {67, true}};
}

CutOffControl::CutOffControl(CutOffPage *page, CutOffReader *reader, ScopeRecording *recording, Prompts *prompts)
    : QObject(page), m_page(page), m_reader(reader), m_prompts(prompts), m_lastText(page->readValueLabel()->text())
{
    connect(page->addressChoice(), qOverload<int>(&QComboBox::currentIndexChanged), this, &CutOffControl::chooseAddress);
    connect(page->cutOffMode(), &QRadioButton::clicked, this, &CutOffControl::switchToCutOffReading);
    connect(page->tuningMode(), &QRadioButton::clicked, this, &CutOffControl::switchToTuning);
    connect(page->writeButton(), &QPushButton::clicked, this, &CutOffControl::writeValue);

    connect(reader, &CutOffReader::auxValueReceived, this, &CutOffControl::showValue);
    connect(reader, &LinkReader::readerSilenceChanged, this, &CutOffControl::showSilence);
    // A recording's start and stop leave both modes unselected.
    connect(recording, &ScopeRecording::recordingStarted, this, &CutOffControl::clearModes);
    connect(recording, &ScopeRecording::recordingStopped, this, &CutOffControl::clearModes);
    // Another exchange ended the reading: the page shows tuning communication again.
    connect(reader, &CutOffReader::cutOffReadingStopped, this, [this] {
        const QSignalBlocker b1(m_page->cutOffMode()), b2(m_page->tuningMode());
        m_page->cutOffMode()->setChecked(false);
        m_page->tuningMode()->setChecked(true);
    });

    page->addressChoice()->setCurrentIndex(0);
}

void CutOffControl::chooseAddress(int index)
{
    if (index < 0 || index >= int(std::size(Choices)))
        return;
    const AddressChoice &choice = Choices[index];
    m_page->addressEdit()->setText(QString::number(choice.address));
    m_page->writeValueEdit()->setVisible(choice.writable);
    m_page->writeValueLabel()->setVisible(choice.writable);
    // A value the technician cannot see is never written.
    m_page->writeButton()->setEnabled(choice.writable);
    m_reader->setCutOffAddress(quint8(choice.address));
}

void CutOffControl::switchToCutOffReading()
{
    if (!m_page->cutOffMode()->isChecked())
        return;
    const std::optional<int> address = readByteEdit(m_page->addressEdit(), m_prompts);
    m_reader->startCutOffReading(quint8(address.value_or(0)));
    const QSignalBlocker blocker(m_page->tuningMode());
    m_page->tuningMode()->setChecked(false);
}

void CutOffControl::switchToTuning()
{
    if (!m_page->tuningMode()->isChecked())
        return;
    m_reader->stopCutOffReading();
    const QSignalBlocker blocker(m_page->cutOffMode());
    m_page->cutOffMode()->setChecked(false);
}

void CutOffControl::writeValue()
{
    const std::optional<int> address = readByteEdit(m_page->addressEdit(), m_prompts);
    if (!address)
        return;
    const std::optional<int> value = readByteEdit(m_page->writeValueEdit(), m_prompts);
    if (!value)
        return;
    m_reader->writeCutOff(*address, quint8(*value));
}

void CutOffControl::selectTuningCommunication()
{
    if (!m_page->tuningMode()->isChecked()) {
        {
            const QSignalBlocker blocker(m_page->tuningMode());
            m_page->tuningMode()->setChecked(true);
        }
        switchToTuning();
    }
    const QSignalBlocker blocker(m_page->cutOffMode());
    m_page->cutOffMode()->setChecked(false);
}

void CutOffControl::clearModes()
{
    const QSignalBlocker b1(m_page->cutOffMode()), b2(m_page->tuningMode());
    m_page->cutOffMode()->setChecked(false);
    m_page->tuningMode()->setChecked(false);
}

void CutOffControl::showValue(int value)
{
    m_lastText = QString::number(value);
    m_page->readValueLabel()->setText(m_lastText);
}

void CutOffControl::showSilence(bool silent)
{
    m_page->readValueLabel()->setText(silent && m_reader->cutOffReading() ? noAnswerText() : m_lastText);
}

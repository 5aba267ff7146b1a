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
    : QObject(page), m_page(page), m_reader(reader), m_prompts(prompts), m_lastText(page->datac()->text())
{
    connect(page->adresy(), qOverload<int>(&QComboBox::currentIndexChanged), this, &CutOffControl::AdresyChange);
    connect(page->cutOffMode(), &QRadioButton::clicked, this, &CutOffControl::RadioButton1Click);
    connect(page->tuningMode(), &QRadioButton::clicked, this, &CutOffControl::RadioButton2Click);
    connect(page->writeButton(), &QPushButton::clicked, this, &CutOffControl::Button37Click);

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

    page->adresy()->setCurrentIndex(0);
}

void CutOffControl::AdresyChange(int index)
{
    if (index < 0 || index >= int(std::size(Choices)))
        return;
    const AddressChoice &choice = Choices[index];
    m_page->adresa()->setText(QString::number(choice.address));
    m_page->dataw()->setVisible(choice.writable);
    m_page->datawLabel()->setVisible(choice.writable);
    // A value the technician cannot see is never written.
    m_page->writeButton()->setEnabled(choice.writable);
    m_reader->setCutOffAddress(quint8(choice.address));
}

void CutOffControl::RadioButton1Click()
{
    if (!m_page->cutOffMode()->isChecked())
        return;
    const std::optional<int> address = readByteEdit(m_page->adresa(), m_prompts);
    m_reader->startCutOffReading(quint8(address.value_or(0)));
    const QSignalBlocker blocker(m_page->tuningMode());
    m_page->tuningMode()->setChecked(false);
}

void CutOffControl::RadioButton2Click()
{
    if (!m_page->tuningMode()->isChecked())
        return;
    m_reader->stopCutOffReading();
    const QSignalBlocker blocker(m_page->cutOffMode());
    m_page->cutOffMode()->setChecked(false);
}

void CutOffControl::Button37Click()
{
    const std::optional<int> address = readByteEdit(m_page->adresa(), m_prompts);
    if (!address)
        return;
    const std::optional<int> value = readByteEdit(m_page->dataw(), m_prompts);
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
        RadioButton2Click();
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
    m_page->datac()->setText(m_lastText);
}

void CutOffControl::showSilence(bool silent)
{
    m_page->datac()->setText(silent && m_reader->cutOffReading() ? noAnswerText() : m_lastText);
}

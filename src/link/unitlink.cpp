#include "unitlink.h"
#include "prompts.h"
#include "serialio.h"
#include "unitdata.h"
#include <QThread>
#include <algorithm>

namespace {
// What the level fields fall back to when the unit does not answer.
constexpr quint8 DefaultLevels[4] = {10, 60, 10, 60};
}

UnitLink::UnitLink(SerialIo *port, UnitData *data, Prompts *prompts, QObject *parent)
    : QObject(parent), m_port(port), m_data(data), m_prompts(prompts),
      m_sleep([](int ms) { QThread::msleep(ulong(ms)); })
{
    connect(m_port, &SerialIo::rxChar, this, [this] { CP1RxChar(); });
    connect(&m_poll, &LinkTimer::fired, this, &UnitLink::ObeznikTimer);
    connect(&m_blockDelay, &LinkTimer::fired, this, &UnitLink::ZpozdeniTimer);
    connect(&m_replyGuard, &LinkTimer::fired, this, &UnitLink::TimeOutTimer);
    connect(&m_messageTimer, &LinkTimer::fired, this, &UnitLink::linkMessageHidden);
}

void UnitLink::prepareFrames()
{
    m_frames.prepare();
    m_data->resetBlocks();
}

void UnitLink::sendCommand(quint8 code)
{
    m_frames.command[1] = char(code);
    m_port->write(m_frames.command);
}

void UnitLink::sendWrite(int address, quint8 value)
{
    m_frames.write[2] = char(address);
    m_frames.write[3] = char(value);
    m_port->write(m_frames.write);
}

void UnitLink::sendService(int address, quint8 value)
{
    m_frames.service[2] = char(address);
    m_frames.service[3] = char(value);
    m_port->write(m_frames.service);
}

void UnitLink::sendAux(quint8 address)
{
    m_frames.aux[2] = char(address);
    m_port->write(m_frames.aux);
}

QByteArray UnitLink::commandFrame(quint8 code) const
{
    QByteArray frame = m_frames.command;
    frame[1] = char(code);
    return frame;
}

QByteArray UnitLink::writeFrame(int address, quint8 value) const
{
    QByteArray frame = m_frames.write;
    frame[2] = char(address);
    frame[3] = char(value);
    return frame;
}

QByteArray UnitLink::serviceFrame(int address, quint8 value) const
{
    QByteArray frame = m_frames.service;
    frame[2] = char(address);
    frame[3] = char(value);
    return frame;
}

void UnitLink::sendChain(const QList<ChainStep> &steps, std::function<void()> done)
{
    if (!requirePort())
        return;
    for (const ChainStep &step : steps) {
        if (step.pauseBeforeMs > 0)
            pause(step.pauseBeforeMs);
        m_port->write(step.frame);
    }
    if (done)
        done();
}

void UnitLink::WriteParamByte(int address, quint8 value)
{
    if (!requirePort())
        return;
    m_poll.disable();
    sendWrite(address, value);
}

void UnitLink::commandWithoutAnswer(quint8 code)
{
    if (!requirePort())
        return;
    m_poll.disable();
    sendCommand(code);
    m_poll.enable();
}

void UnitLink::readBlock()
{
    if (!requirePort())
        return;
    m_guardResetsLevels = true;
    m_replyGuard.enable();
    m_state = BlockReadState;
    m_poll.disable();
    sendCommand(UnitCode::ReadBlock);
}

void UnitLink::writeBlock()
{
    if (!requirePort())
        return;
    m_data->paramBlock[0] = 1;
    m_poll.disable();
    sendCommand(UnitCode::WriteBlock);
    m_state = BlockPendingState;
    m_blockDelay.enable();
}

void UnitLink::requestLevels()
{
    if (!requirePort())
        return;
    m_poll.disable();
    m_state = LevelReadState;
    sendCommand(UnitCode::ReadLevels);
    m_guardResetsLevels = true;
    m_replyGuard.enable();
}

void UnitLink::writeLevels()
{
    if (!requirePort())
        return;
    m_poll.disable();
    m_blockDelay.disable();
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            pause(FramePauseMs);
        sendWrite(UnitAddress::FirstLevel + i, m_data->levelBlock[std::size_t(i + 1)]);
    }
}

void UnitLink::requestDiagnostics()
{
    if (!requirePort())
        return;
    m_state = DiagnosticsState;
    m_poll.disable();
    sendCommand(UnitCode::ReadDiagnostics);
}

void UnitLink::ShowLinkMessage(const QString &text)
{
    emit linkMessage(text);
    m_messageTimer.enable();
}

bool UnitLink::requirePort()
{
    if (m_port->isOpen())
        return true;
    const QString text = QStringLiteral("Port není otevřen");
    ShowLinkMessage(text);
    emit portNotOpen(text);
    return false;
}

void UnitLink::returnToPolling()
{
    m_poll.enable();
    m_cutOffReader.disable();
    m_scopeTimer.disable();
}

void UnitLink::ObeznikTimer()
{
    sendCommand(UnitCode::Status);
    m_state = StatusState;
}

void UnitLink::ZpozdeniTimer()
{
    if (m_state == BlockPendingState) {
        m_port->write(QByteArray(reinterpret_cast<const char *>(m_data->paramBlock.data()),
                                 int(m_data->paramBlock.size())));
        pause(FramePauseMs);
        writeLevels();
        // The tool's levels are what was just written: a lost read-back must not replace them
        // with the defaults, or the next write would send those to the unit.
        m_guardResetsLevels = false;
        m_replyGuard.enable();
        m_state = WriteCheckBlockState;
        m_poll.disable();
        sendCommand(UnitCode::ReadBlock);
    }
    // The read-back must come before the next poll tick, which the unit answers well within.
    m_poll.enable();
}

void UnitLink::TimeOutTimer()
{
    m_poll.enable();
    if (!m_guardResetsLevels)
        return;
    std::copy(std::begin(DefaultLevels), std::end(DefaultLevels), m_data->levelBlock.begin() + 1);
    emit levelsReset();
}

void UnitLink::CP1RxChar()
{
    switch (m_state) {
    case StatusState: handleStatus(); break;
    case BlockReadState: handleBlockRead(); break;
    case LevelReadState: handleLevelRead(); break;
    case WriteCheckBlockState: handleWriteCheckBlock(); break;
    case WriteCheckLevelsState: handleWriteCheckLevels(); break;
    case DiagnosticsState: handleDiagnostics(); break;
    case CutOffState: handleCutOff(); break;
    case ScopeState: handleScope(); break;
    case BlockPendingState:
        // The unit answers nothing to code 238; what comes now is the tail of a status reply
        // that was on its way when the write began. Dropping it keeps the write: cancelling
        // would leave the unit waiting for a block and the technician without any result.
        discardWaiting();
        break;
    default:
        // Nothing is expected here (a block write still waiting for its second half is thereby
        // cancelled). The bytes would only shift the next reply out of step.
        discardWaiting();
        m_state = StatusState;
        break;
    }
}

void UnitLink::handleStatus()
{
    const QByteArray bytes = m_port->read(Reply::StatusSize);
    // A short read must never let bytes of an earlier reply stand in for the missing ones.
    if (!Reply::framed(bytes, Reply::StatusSize, 0x02, 0x03)) {
        discardWaiting();
        emit statusError(QStringLiteral("Error Obeznik"));
        m_prompts->beep();
        m_state = StatusState;
        return;
    }
    emit answerReceived();
    if (m_data->measuring) {
        const bool goOn = measurementHandler ? measurementHandler(quint8(bytes.at(4))) : true;
        m_poll.setEnabled(goOn);
        return;
    }
    m_data->tpsValue = quint8(bytes.at(1));
    m_data->lambdaValue = quint8(bytes.at(2));
    m_data->positionValue = quint8(bytes.at(3));
    m_state = StatusState;
    emit m_data->liveValuesChanged();
}

void UnitLink::handleBlockRead()
{
    const QByteArray bytes = m_port->read(Reply::BlockSize);
    if (UnitData::isParamBlock(bytes)) {
        emit answerReceived();
        emit blockReceived(bytes);
        ShowLinkMessage(QStringLiteral("Načteno  OK"));
    } else {
        discardWaiting();
    }
    pause(FramePauseMs);
    requestLevels();
}

void UnitLink::handleLevelRead()
{
    const QByteArray bytes = m_port->read(Reply::LevelSize);
    if (UnitData::isLevelBlock(bytes)) {
        emit answerReceived();
        std::copy(bytes.cbegin(), bytes.cend(), m_data->levelBlock.begin());
        m_replyGuard.disable();
        emit levelsReceived();
    } else {
        discardWaiting();
    }
    m_poll.enable();
    m_state = StatusState;
}

void UnitLink::handleWriteCheckBlock()
{
    const QByteArray bytes = m_port->read(Reply::BlockSize);
    if (!UnitData::isParamBlock(bytes)) {
        discardWaiting();
        m_state = StatusState;
        return;
    }
    emit answerReceived();
    if (std::equal(bytes.cbegin(), bytes.cend(), m_data->paramBlock.cbegin(),
                   [](char a, quint8 b) { return quint8(a) == b; })) {
        pause(FramePauseMs);
        m_poll.disable();
        m_state = WriteCheckLevelsState;
        sendCommand(UnitCode::ReadLevels);
        m_replyGuard.enable();
        return;
    }
    ShowLinkMessage(QStringLiteral("Nesprávné uložení!"));
    m_poll.enable();
    m_replyGuard.disable();
    m_state = StatusState;
}

void UnitLink::handleWriteCheckLevels()
{
    const QByteArray bytes = m_port->read(Reply::LevelSize);
    if (UnitData::isLevelBlock(bytes)) {
        emit answerReceived();
        const bool same = std::equal(bytes.cbegin(), bytes.cend(), m_data->levelBlock.cbegin(),
                                     [](char a, quint8 b) { return quint8(a) == b; });
        ShowLinkMessage(same ? QStringLiteral("Uložení OK") : QStringLiteral("Nesprávné uložení!"));
    } else {
        discardWaiting();
    }
    m_replyGuard.disable();
    m_poll.enable();
    m_state = StatusState;
}

void UnitLink::handleDiagnostics()
{
    const QByteArray bytes = m_port->read(Reply::BlockSize);
    if (Reply::framed(bytes, Reply::BlockSize, 0x02, 0x03)) {
        emit answerReceived();
        m_diagMessage.enable();
        emit diagnosticsReceived(bytes);
    } else {
        discardWaiting();
    }
    m_poll.enable();
    m_state = StatusState;
}

void UnitLink::handleCutOff()
{
    const QByteArray bytes = m_port->read(Reply::AuxSize);
    if (Reply::framed(bytes, Reply::AuxSize, 0x02, 0x03)) {
        emit answerReceived();
        emit auxValueReceived(quint8(bytes.at(1)));
    } else {
        discardWaiting();
    }
}

void UnitLink::handleScope()
{
    const QByteArray bytes = m_port->read(Reply::AuxSize);
    bool purge = true;
    const bool framed = Reply::framed(bytes, Reply::AuxSize, 0x02, 0x03);
    if (framed)
        emit answerReceived();
    if (framed && scopeSampleHandler)
        purge = scopeSampleHandler(quint8(bytes.at(1)));
    if (purge)
        m_port->clearBuffer(true, true);
    m_scopeTimer.enable();
}

void UnitLink::discardWaiting()
{
    m_port->clearBuffer(true, false);
}

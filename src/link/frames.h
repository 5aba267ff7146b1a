#pragma once
#include <QByteArray>
#include <cstdint>

// Command codes the tool sends in byte 1 of the command frame. It never sends any other.
namespace UnitCode {
constexpr quint8 Status = 15;        // answered by a 6-byte status reply
constexpr quint8 ReadBlock = 255;    // answered by the 34-byte parameter block
constexpr quint8 WriteBlock = 238;   // the 34 block bytes follow 50 ms later
constexpr quint8 RamToEeprom = 4;
constexpr quint8 FactoryReset = 80;
constexpr quint8 EepromToRam = 96;
constexpr quint8 ReadLevels = 170;   // answered by the 10-byte level block
constexpr quint8 MeasureIdle = 112;
constexpr quint8 MeasureRaised = 113;
constexpr quint8 ReadDiagnostics = 128;  // answered by the 34-byte diagnostic record
constexpr quint8 ClearErrors = 144;
}

// Unit memory addresses the tool writes singly.
namespace UnitAddress {
constexpr int ParamOffset = 47;      // block byte i lives at address i + 47
constexpr int FirstLevel = 0xA3;     // the four emulation levels at 0xA3..0xA6
constexpr int fromBlockIndex(int index) { return index + ParamOffset; }
}

// Addresses of the unit's service record, written with service frames.
namespace ServiceAddress {
constexpr int TachoLow = 89;   // tachometer reading, 24 bits, least significant byte first
constexpr int TachoMid = 90;
constexpr int TachoHigh = 91;
constexpr int Day = 92;
constexpr int Month = 93;
constexpr int Year = 94;       // years since 2000
constexpr int Close = 95;      // a 0 here closes the service
}

// The tool's outgoing frames. Each is prepared once with its fixed bytes; a sender gets a copy
// with its variable bytes set, so no frame carries anything from one send to the next.
struct Frames
{
    QByteArray command;  // 02 code 03
    QByteArray write;    // 02 B4 address value 03
    QByteArray service;  // 02 14 address value 03
    QByteArray aux;      // 02 24 address 00 03

    void prepare()
    {
        command = QByteArray("\x02\x00\x03", 3);
        write = QByteArray("\x02\xB4\x00\x00\x03", 5);
        service = QByteArray("\x02\x14\x00\x00\x03", 5);
        aux = QByteArray("\x02\x24\x00\x00\x03", 5);
    }

    // The prepared frames with their variable bytes set.
    QByteArray commandFrame(quint8 code) const { return with(command, 1, code); }
    QByteArray writeFrame(int address, quint8 value) const { return with(with(write, 2, quint8(address)), 3, value); }
    QByteArray serviceFrame(int address, quint8 value) const { return with(with(service, 2, quint8(address)), 3, value); }
    QByteArray auxFrame(quint8 address) const { return with(aux, 2, address); }

private:
    static QByteArray with(QByteArray frame, int at, quint8 value)
    {
        frame[at] = char(value);
        return frame;
    }
};

// Received frame lengths and framing bytes.
namespace Reply {
constexpr int StatusSize = 6;    // 02 TPS lambda position code 03
constexpr int BlockSize = 34;    // 01 .. 03 (parameter block), 02 .. 03 (diagnostic record)
constexpr int LevelSize = 10;    // 03 .. 04
constexpr int AuxSize = 3;       // 02 value 03

inline bool framed(const QByteArray &bytes, int size, quint8 first, quint8 last)
{
    return bytes.size() == size && quint8(bytes.front()) == first && quint8(bytes.back()) == last;
}
}

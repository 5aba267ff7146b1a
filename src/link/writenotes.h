#pragma once
#include <QObject>

class LinkTransport;
class UnitData;

// Notes in the shared data what the frames leaving for the unit did to it: after a byte write
// (parameters, levels, the cut-off threshold), a block write, a factory reset or a reload from
// EEPROM the unit no longer holds the settings it had; after code 144 its error memory is clear.
// RAM->EEPROM, a factory reset or a reload leave the unit's RAM with nothing its EEPROM lacks.
// Noted as the frame leaves: until then the unit still holds what it had.
class WriteNotes : public QObject
{
    Q_OBJECT
public:
    WriteNotes(LinkTransport *link, UnitData *data, QObject *parent = nullptr);

private:
    void note(const QByteArray &frame);

    UnitData *m_data;
};

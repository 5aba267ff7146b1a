#pragma once
#include <QString>

// The workshop that hands a service report out, from the section [Dilna] of TESTER.INI. Qt Core
// only: the settings reader takes it without anything of a report.
struct Workshop
{
    QString name;        // Nazev
    QString address;     // Adresa
    QString phone;       // Telefon
    QString technician;  // Technik
    bool isEmpty() const { return name.isEmpty() && address.isEmpty() && phone.isEmpty() && technician.isEmpty(); }
};

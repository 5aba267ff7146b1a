#pragma once

#include "analysis/analysislimits.h"
#include "history/historytarget.h"
#include "report/workshop.h"
#include <QString>
#include <QStringList>

class ProfileFile;

// What TESTER.INI can change. A default-constructed value holds the built-in defaults, the
// same as reading with no file present.
struct TesterSettings
{
    static constexpr int AddressNameCount = 256;
    static constexpr int MeasurementTextCount = 128;
    static constexpr int VersionNameCount = 100;
    static constexpr int ButtonCount = 6;

    static QString unnamedAddress();     // "NIC"
    static QString undefinedText();      // "Nedefinováno"
    static QString noVersionName();      // "Bez verze!"
    static QStringList defaultButtonCaptions();

    // The file was found and read. When it was found but could not be read, fileFound stays
    // false and readError says why (in Czech).
    bool fileFound = false;
    QString fileName = QStringLiteral("tester.ini");
    QString readError;
    // The file holds at least one of the sections the tool reads; a file in a form this reader
    // does not know (or a wrong file under the right name) holds none.
    bool knownSectionFound = false;
    // Indexed by address 0..255; "NIC" marks an address nobody named.
    QStringList addressNames = QStringList(AddressNameCount, unnamedAddress());
    // Codes 0..99 come from the file; 100..127 exist for codes the unit may send but stay empty.
    QStringList measurementTexts = defaultMeasurementTexts();
    // Entry 0 names the version every local parameter edit sets and cannot be renamed.
    QStringList versionNames = defaultVersionNames();
    QStringList buttonCaptions = defaultButtonCaptions();
    QString port = QStringLiteral("COM2");
    // The file names a port; without one (no key, or an empty value) the port above is only tried,
    // never complained about.
    bool portNamed = false;
    int pollInterval = 250; // ms
    // The workshop the service report names; all empty without the optional section [Dilna].
    Workshop workshop;
    // The shared history server of the optional section [Kartoteka] (Server, Port, Databaze,
    // Uzivatel, TLS as libpq's sslmode); without a server the history is data/historie.sqlite.
    HistoryTarget history;
    // The limits of a recorded drive's analysis from the optional section [Rozbor]; the defaults for
    // every key left out or out of its range.
    AnalysisLimits analysisLimits;
    // One status exchange is 3 bytes out and 6 back, 9.4 ms on the wire at 9600 Bd, plus the
    // unit's reaction and a USB adapter's latency; 20 ms leaves the line time to carry it. A
    // shorter poll would queue requests faster than the line takes them.
    static constexpr int MinPollInterval = 20;

    // The addresses offered by the oscilloscope pickers, in address order. Only the exact text
    // "NIC" hides an address; "nic" is a name like any other.
    QStringList namedAddresses() const;

    // What the technician must be told about the file before the tool goes on with its
    // defaults: missing, unreadable, or without anything the tool reads. Empty when all is well.
    QString notice() const;

private:
    static QStringList defaultMeasurementTexts();
    static QStringList defaultVersionNames();
};

// The settings file in folder, found whatever the case of its name so a file copied from a
// Windows PC as "tester.ini" still works; an exact "TESTER.INI" wins over other spellings.
// Empty when there is none.
QString findSettingsFile(const QString &folder);

TesterSettings readTesterSettings(const ProfileFile &profile);
TesterSettings loadTesterSettings(const QString &folder);

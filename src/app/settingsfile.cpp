#include "settingsfile.h"

#include "profilefile.h"
#include "textformat/messageexcerpt.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

QString TesterSettings::unnamedAddress()
{
    return QStringLiteral("NIC");
}

QString TesterSettings::undefinedText()
{
    return QStringLiteral("Nedefinováno");
}

QString TesterSettings::noVersionName()
{
    return QStringLiteral("Bez verze!");
}

QStringList TesterSettings::defaultButtonCaptions()
{
    return {QStringLiteral("Odeslat do ŘJ"), QStringLiteral("Načíst z ŘJ"), QStringLiteral("Konec"),
            QStringLiteral("RAM->EEPROM"),   QStringLiteral("Tovární reset"),
            QStringLiteral("EEPROM -> RAM")};
}

QStringList TesterSettings::defaultMeasurementTexts()
{
    QStringList texts(100, undefinedText());
    texts.resize(MeasurementTextCount);
    return texts;
}

QStringList TesterSettings::defaultVersionNames()
{
    QStringList names(VersionNameCount, undefinedText());
    names[0] = noVersionName();
    return names;
}

QStringList TesterSettings::namedAddresses() const
{
    QStringList named;
    for (const QString &name : addressNames) {
        if (name != unnamedAddress())
            named.append(name);
    }
    return named;
}

QString TesterSettings::notice() const
{
    const QString defaults = QStringLiteral("\nPoužijí se defaultní hodnoty");
    if (!readError.isEmpty())
        return QStringLiteral("Pozor, soubor %1 v pracovním adresáři nelze přečíst: %2")
                   .arg(messageExcerpt(fileName), readError)
            + defaults;
    if (!fileFound)
        return QStringLiteral("Pozor v pracovním adresáři není tester.ini") + defaults;
    if (!knownSectionFound)
        return QStringLiteral("Pozor, v souboru %1 není žádná ze sekcí [Komunikace], [Tlacitka], [Verze], [Emulace], "
                              "[Osciloskop], [Dilna]")
                   .arg(messageExcerpt(fileName))
            + defaults;
    return {};
}

QString findSettingsFile(const QString &folder)
{
    const QString wanted = QStringLiteral("TESTER.INI");
    const QDir dir(folder);
    // Sorted by name so that, among several other spellings, the same one is picked every run.
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    if (files.contains(wanted))
        return dir.filePath(wanted);
    for (const QString &name : files) {
        if (QString::compare(name, wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    }
    return {};
}

TesterSettings readTesterSettings(const ProfileFile &profile)
{
    TesterSettings s;
    s.fileFound = profile.exists();
    s.readError = profile.readError();
    for (const char *section : {"Osciloskop", "Emulace", "Verze", "Tlacitka", "Komunikace", "Dilna"})
        s.knownSectionFound = s.knownSectionFound || profile.hasSection(QLatin1String(section));

    for (int n = 0; n < TesterSettings::AddressNameCount; ++n)
        s.addressNames[n] = profile.value(QStringLiteral("Osciloskop"), QString::number(n), s.addressNames[n]);

    // These keys are always two digits: a key written "7" is a different key from "07".
    const auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    for (int n = 0; n < 100; ++n)
        s.measurementTexts[n] = profile.value(QStringLiteral("Emulace"), twoDigits(n), s.measurementTexts[n]);
    for (int n = 1; n < TesterSettings::VersionNameCount; ++n)
        s.versionNames[n] = profile.value(QStringLiteral("Verze"), twoDigits(n), s.versionNames[n]);

    for (int i = 0; i < TesterSettings::ButtonCount; ++i) {
        const QString key = QStringLiteral("Tl%1").arg(i + 1);
        s.buttonCaptions[i] = profile.value(QStringLiteral("Tlacitka"), key, s.buttonCaptions[i]);
    }

    s.port = profile.value(QStringLiteral("Komunikace"), QStringLiteral("Port"), s.port);
    s.portNamed = !profile.value(QStringLiteral("Komunikace"), QStringLiteral("Port"), QString()).trimmed().isEmpty();
    // Zero or a negative interval would make the poll timer spin; such a file gets the default.
    const int interval = profile.intValue(QStringLiteral("Komunikace"), QStringLiteral("Obeznik"), s.pollInterval);
    if (interval > 0)
        s.pollInterval = std::max(interval, TesterSettings::MinPollInterval);

    const QString shop = QStringLiteral("Dilna");
    s.workshop.name = profile.value(shop, QStringLiteral("Nazev"), QString());
    s.workshop.address = profile.value(shop, QStringLiteral("Adresa"), QString());
    s.workshop.phone = profile.value(shop, QStringLiteral("Telefon"), QString());
    s.workshop.technician = profile.value(shop, QStringLiteral("Technik"), QString());

    const QString history = QStringLiteral("Kartoteka");
    s.history.host = profile.value(history, QStringLiteral("Server"), QString());
    s.history.port = profile.intValue(history, QStringLiteral("Port"), s.history.port);
    s.history.database = profile.value(history, QStringLiteral("Databaze"), s.history.database);
    s.history.user = profile.value(history, QStringLiteral("Uzivatel"), s.history.user);
    s.history.sslMode = profile.value(history, QStringLiteral("TLS"), s.history.sslMode);
    s.analysisLimits = AnalysisLimits::read(
        [&profile](const QString &key) { return profile.value(AnalysisLimits::sectionName(), key, QString()); });
    return s;
}

TesterSettings loadTesterSettings(const QString &folder)
{
    const QString path = findSettingsFile(folder);
    TesterSettings s = readTesterSettings(path.isEmpty() ? ProfileFile() : ProfileFile::load(path));
    if (!path.isEmpty())
        s.fileName = QFileInfo(path).fileName();
    return s;
}

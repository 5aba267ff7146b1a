// Fuzzes the settings reader: whatever bytes TESTER.INI holds, reading them must not crash, must
// finish in time, and must give settings the rest of the tool can use as they stand.
#include "app/profilefile.h"
#include "app/settingsfile.h"
#include "textformat/messageexcerpt.h"
#include "linkwords/portwords.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "velkor_fuzz_settings: %s\n", what);
        std::fflush(stderr);
        std::abort();
    }
}

bool hasControl(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

void checkValues(const QStringList &values, int count)
{
    check(values.size() == count, "a list lost or gained entries");
    for (const QString &v : values) {
        check(v.size() <= ProfileFile::MaxValueLength, "a value is longer than the platform hands over");
        check(!v.contains(QChar(u'\0')), "a value holds a NUL");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(bytes), qsizetype(size));
    const ProfileFile profile = ProfileFile::fromBytes(file);
    const TesterSettings s = readTesterSettings(profile);

    checkValues(s.addressNames, TesterSettings::AddressNameCount);
    checkValues(s.measurementTexts, TesterSettings::MeasurementTextCount);
    checkValues(s.versionNames, TesterSettings::VersionNameCount);
    checkValues(s.buttonCaptions, TesterSettings::ButtonCount);
    checkValues({s.port}, 1);
    for (int n = 100; n < TesterSettings::MeasurementTextCount; ++n)
        check(s.measurementTexts.at(n).isEmpty(), "a measurement text beyond 99 was filled");
    check(s.versionNames.at(0) == TesterSettings::noVersionName(), "version 0 was renamed");
    check(s.pollInterval > 0, "the poll interval would make the timer spin");
    check(s.fileFound && s.readError.isEmpty(), "bytes in hand were taken for an unreadable file");
    check(s.notice().isEmpty() == s.knownSectionFound, "a file without a known section was not said");

    // Names match without regard to case, through the index as through any spelling.
    check(profile.value(QStringLiteral("KOMUNIKACE"), QStringLiteral("PORT"), QStringLiteral("COM2")) == s.port,
          "the port depends on the case of the look-up");

    const QString shown = messageExcerpt(s.port);
    check(shown.size() <= 81 && !hasControl(shown), "an excerpt is too long or hides a control character");
    check(portNameFault(s.port).isEmpty() != hasControl(s.port), "a port name with a control character passed");
    check(portNameFault(s.port).size() < 400, "the refusal of a port name is too long to read");
    return 0;
}

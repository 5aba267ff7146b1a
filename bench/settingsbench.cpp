// Reading TESTER.INI: a workshop's file and a damaged one of 16 MB with a million sections,
// whose sections the tool reads stand at its end.
#include "benchsupport.h"
#include "app/settingsfile.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

namespace {

QByteArray millionSections()
{
    QByteArray file;
    file.reserve(17 << 20);
    for (int n = 0; n < 1000000; ++n)
        file += "[S" + QByteArray::number(n).rightJustified(7, '0') + "]\r\nk=v\r\n";
    file += "[Osciloskop]\r\n5=Lambda\r\n[Verze]\r\n07=Sedm\r\n[Komunikace]\r\nPort=COM1\r\nObeznik=100\r\n";
    return file;
}

// The median of `runs` reads of the folder's settings, in ms; -1 when a read went wrong.
double medianReadMs(const QString &folder, int runs)
{
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        const TesterSettings s = loadTesterSettings(folder);
        ms.push_back(clock.nsecsElapsed() / 1e6);
        if (!s.fileFound || s.port != QLatin1String("COM1") || s.pollInterval != 100)
            return -1;
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

Figure measureSettingsRead()
{
    Figure f;
    f.label = QStringLiteral("d) reading a 16 MB TESTER.INI");
    f.unit = QStringLiteral("ms");
    f.goal = 1000;

    QTemporaryDir big, small;
    const QByteArray bytes = millionSections();
    QFile bigFile(big.filePath(QStringLiteral("TESTER.INI")));
    QFile smallFile(small.filePath(QStringLiteral("TESTER.INI")));
    if (!big.isValid() || !small.isValid() || !bigFile.open(QIODevice::WriteOnly) || bigFile.write(bytes) != bytes.size()
        || !smallFile.open(QIODevice::WriteOnly)
        || smallFile.write("[Komunikace]\r\nPort=COM1\r\nObeznik=100\r\n[Verze]\r\n07=Sedm\r\n") < 0) {
        f.detail = QStringLiteral("could not write the files in the temporary folder");
        return f;
    }
    bigFile.close();
    smallFile.close();

    const double bigMs = medianReadMs(big.path(), 3);
    const double smallMs = medianReadMs(small.path(), 21);
    if (bigMs < 0 || smallMs < 0) {
        f.detail = QStringLiteral("the settings read back wrong");
        return f;
    }
    f.measured = true;
    f.value = bigMs;
    f.detail = QStringLiteral("median of 3 reads, %1 MB, 1,000,000 sections before the ones the tool reads; "
                              "a workshop's file: %2 ms")
                   .arg(bytes.size() / 1048576.0, 0, 'f', 1)
                   .arg(smallMs, 0, 'f', 3);
    return f;
}

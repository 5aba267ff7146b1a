#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "app/instancebeacon.h"
#include "app/portpicker.h"
#include "app/settingsfile.h"
#include "app/workingfolder.h"
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program's command line and its working folder, started as a technician or the menu starts it.
class TestStartOptions : public QObject
{
    Q_OBJECT
private:
    // The program in dir/cwd, with HOME dir/home and TMPDIR dir/tmp; without a display unless asked.
    static void start(QProcess &tool, const QStringList &args, const QDir &dir, bool display)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (display)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const char *sub : {"home", "tmp", "cwd"})
            dir.mkpath(QLatin1String(sub));
        env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
        tool.setProcessEnvironment(env);
        tool.setWorkingDirectory(dir.filePath(QStringLiteral("cwd")));
        tool.start(QStringLiteral(VELKOR_TOOL_PATH), args);
    }
    static QString output(QProcess &tool, QProcess::ProcessChannel channel = QProcess::StandardOutput)
    {
        tool.setReadChannel(channel);
        return QString::fromUtf8(tool.readAll());
    }
    static QStringList entries(const QString &path)
    {
        return QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    // Both answer on a terminal without any display, and touch nothing (no lock of a running copy).
    void versionAndHelpNeedNoDisplay()
    {
        QTemporaryDir root;
        QString help;
        // "--slozka --help" asks for help; it names no folder "--help".
        for (const char *options : {"--version", "--help", "-h", "--slozka --help"}) {
            QProcess tool;
            start(tool, QString::fromLatin1(options).split(QLatin1Char(' ')), QDir(root.path()), false);
            QVERIFY(tool.waitForFinished(30000));
            QCOMPARE(tool.exitCode(), 0);
            QCOMPARE(output(tool, QProcess::StandardError), QString());
            const QString out = output(tool);
            if (options == QLatin1String("--version"))
                QCOMPARE(out, QStringLiteral("velkor " VELKOR_PROJECT_VERSION "\n"));
            else if (help.isEmpty())
                help = out;
            else
                QCOMPARE(out, help);
        }
        const qsizetype english = help.indexOf(QStringLiteral("Usage: velkor [--dir FOLDER]"));
        QVERIFY2(english > 0, qPrintable(help));
        QVERIFY(help.startsWith(QStringLiteral("Velkor " VELKOR_PROJECT_VERSION " – servis a ladění jednotky\n")));
        QVERIFY(help.left(english).contains(QStringLiteral("Použití: velkor [--slozka SLOŽKA]")));
        for (const QString &half : {help.left(english), help.mid(english)}) {
            for (const char *option : {"--slozka", "--dir", "--help", "--version", "sudo adduser $USER dialout", "[Dilna]", "man velkor"})
                QVERIFY2(half.contains(QLatin1String(option)), option);
        }
        for (const char *sub : {"home", "tmp", "cwd"})
            QCOMPARE(entries(QDir(root.path()).filePath(QLatin1String(sub))), QStringList());
    }

    void aMistakeIsNamedAndNoWindowOpens_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown") << QStringList{QStringLiteral("--slozak"), QStringLiteral("x")}
                                 << QStringLiteral("Neznámá volba: --slozak\nUnknown option: --slozak\n");
        QTest::newRow("no folder") << QStringList{QStringLiteral("--dir")}
                                   << QStringLiteral("Volbě --dir chybí název složky.\nOption --dir needs a folder.\n");
        QTest::newRow("empty folder") << QStringList{QStringLiteral("--slozka=")}
                                      << QStringLiteral("Volbě --slozka chybí název složky.\nOption --slozka needs a folder.\n");
    }
    void aMistakeIsNamedAndNoWindowOpens()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        QTemporaryDir root;
        QProcess tool;
        start(tool, args, QDir(root.path()), true);
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 2);
        QCOMPARE(output(tool), QString());
        QCOMPARE(output(tool, QProcess::StandardError).section(QLatin1Char('\n'), -4), says + QStringLiteral("velkor --help\n"));
        QCOMPARE(entries(QDir(root.path()).filePath(QStringLiteral("home"))), QStringList());
    }

    // Where the program looks for TESTER.INI and when it writes the sample. Checked once it listens
    // for a second start, which it does only after the folder is ready.
    void theWorkingFolderRule_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("prepared");  // a folder, or a settings file, there before the start
        QTest::addColumn<QString>("folder");    // where the sample is to be, or not to be
        QTest::addColumn<bool>("sample");
        const auto args = [](const char *a, const char *b = nullptr) {
            return b ? QStringList{QLatin1String(a), QString::fromUtf8(b)} : QStringList{QString::fromUtf8(a)};
        };
        QTest::newRow("missing, from the menu") << args("--slozka", "~/Velkor") << QString() << "home/Velkor" << true;
        QTest::newRow("missing, relative") << args("--dir", "dílna/Velkor") << QString() << "cwd/dílna/Velkor" << true;
        QTest::newRow("empty") << args("--slozka=~/prazdna") << "home/prazdna" << "home/prazdna" << true;
        QTest::newRow("filled") << args("--slozka", "~/plna") << "home/plna/TESTER.INI" << "home/plna" << false;
        QTest::newRow("filled from Windows") << args("--slozka", "~/plna") << "home/plna/tester.ini" << "home/plna" << false;
        QTest::newRow("no option") << QStringList() << QString() << "cwd" << false;
    }
    void theWorkingFolderRule()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, prepared);
        QFETCH(QString, folder);
        QFETCH(bool, sample);
        QTemporaryDir root;
        const QDir dir(root.path());
        const QByteArray own("[Komunikace]\r\nPort=/dev/ttyUSB7\r\n");
        const bool file = prepared.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive);
        if (!prepared.isEmpty())
            QVERIFY(dir.mkpath(file ? QFileInfo(prepared).path() : prepared));
        if (file) {
            QFile ini(dir.filePath(prepared));
            QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(own) == own.size());
        }

        QProcess tool;
        start(tool, args, dir, true);
        const QString beacon = InstanceBeacon::socketName(QStringLiteral("mardunKX"), dir.filePath(QStringLiteral("tmp")));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(beacon), 30000);
        tool.kill();
        QVERIFY(tool.waitForFinished(10000));
        QFile::remove(beacon);  // a killed copy leaves its socket, which may lie outside `root`

        const QString sampleAt = folder + QStringLiteral("/TESTER.INI");
        QCOMPARE(read(dir.filePath(sampleAt)), sample ? sampleSettings() : prepared == sampleAt ? own : QByteArray());
        if (file)  // the technician's own file, in whatever case, stays as it was
            QCOMPARE(read(dir.filePath(prepared)), own);
        if (!folder.startsWith(QLatin1String("cwd")))  // a folder named is the only one written to
            QCOMPARE(entries(dir.filePath(QStringLiteral("cwd"))), QStringList());
    }

    // The sample is a workshop's kind of file (Windows-1250, CRLF) that reads as the defaults and
    // names no port; it is said once, and the port picked afterwards goes into its [Komunikace].
    void theSampleIsSaidOnceAndThePickerFillsInThePort()
    {
        QTemporaryDir root;
        const QString path = QDir(root.path()).filePath(QStringLiteral("Velkor"));
        const WorkingFolder first = prepareWorkingFolder(QStringLiteral("~/Velkor"), QStringLiteral("/"), root.path());
        QCOMPARE(first.path, path);
        QVERIFY(first.sampleWritten && first.error.isEmpty());
        QVERIFY(first.sampleNotice().contains(path));
        QVERIFY(!prepareWorkingFolder(path, QStringLiteral("/"), root.path()).sampleWritten);
        const QByteArray bytes = read(QDir(path).filePath(QStringLiteral("TESTER.INI")));
        QCOMPARE(bytes, sampleSettings());
        QVERIFY(bytes.contains(";Tl2=Na\xE8\xEDst z \xD8J\r\n"));  // "Načíst z ŘJ" in Windows-1250
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        // The workshop the report names: a section of its own, explained and commented out.
        QVERIFY(bytes.contains("\r\n[Dilna]\r\n") && bytes.contains("\r\n;Nazev=") && bytes.contains("\r\n;Technik="));

        FakePort port;
        ScriptedPrompts prompts;
        MainWindow form(&port, &prompts, nullptr, [] { return QList<PortEntry>(); });
        form.show();
        form.startUp(first.path);
        QCOMPARE(prompts.messages, QStringList());  // a sound file: nothing to say about it
        QCOMPARE(form.pollInterval(), 250);
        QCOMPARE(port.openedName, TesterSettings().port);
        // The version --version prints is the one the window shows.
        QCOMPARE(form.windowTitle(), QStringLiteral(" Dasmin - Velkor " VELKOR_PROJECT_VERSION "   -->  Novy.cfg"));
        QCOMPARE(form.findChild<QLabel *>(QStringLiteral("ProgramVersion"))->text(),
                 QStringLiteral("Velkor " VELKOR_PROJECT_VERSION " – servis a ladění jednotky"));

        auto *picker = form.findChild<PortPicker *>(QStringLiteral("PortPicker"));
        picker->lineEdit()->setText(QStringLiteral("/dev/ttyUSB0"));
        QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
        QCOMPARE(port.openedName, QStringLiteral("/dev/ttyUSB0"));
        const qsizetype end = bytes.indexOf("Obeznik=250\r\n") + 13;
        QCOMPARE(read(QDir(path).filePath(QStringLiteral("TESTER.INI"))),
                 bytes.left(end) + "Port=/dev/ttyUSB0\r\n" + bytes.mid(end));
        QCOMPARE(prompts.messages, QStringList());
    }

    void aFolderThatCannotBeUsedIsSaid()
    {
        QTemporaryDir root;
        const QString file = QDir(root.path()).filePath(QStringLiteral("soubor"));
        QFile blocker(file);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        const WorkingFolder onAFile = prepareWorkingFolder(file, root.path(), root.path());
        QVERIFY2(onAFile.error.startsWith(file + QStringLiteral(" není složka")), qPrintable(onAFile.error));
        const WorkingFolder underIt = prepareWorkingFolder(QStringLiteral("soubor/Velkor"), root.path(), root.path());
        QVERIFY2(underIt.error.startsWith(QStringLiteral("Pracovní složku %1/Velkor nelze vytvořit").arg(file)),
                 qPrintable(underIt.error));
        QVERIFY(!onAFile.sampleWritten && !underIt.sampleWritten);
    }
};

QTEST_MAIN(TestStartOptions)
#include "tst_startoptions.moc"

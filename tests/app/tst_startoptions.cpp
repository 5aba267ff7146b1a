#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/commandline.h"
#include "app/cp1250.h"
#include "app/form2.h"
#include "app/portpicker.h"
#include "app/settingsfile.h"
#include "app/workingfolder.h"
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

// The program's command line and its working folder, started as a technician or the menu starts it.
class TestStartOptions : public QObject
{
    Q_OBJECT
private:
    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };
    // Runs the program to its end: what it printed and its exit code.
    static Run run(const QStringList &args, const QProcessEnvironment &env)
    {
        QProcess tool;
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(VELKOR_TOOL_PATH), args);
        Run r;
        if (!tool.waitForFinished(30000)) {
            tool.kill();
            tool.waitForFinished();
            return r;
        }
        r.code = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
        r.out = QString::fromUtf8(tool.readAllStandardOutput());
        r.err = QString::fromUtf8(tool.readAllStandardError());
        return r;
    }
    static QProcessEnvironment environment(const QString &home, const QString &temp, bool display)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (display)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("TMPDIR"), temp);
        return env;
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static bool write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private slots:
    // Both answer on a terminal without any display, and change nothing.
    void versionAndHelpNeedNoDisplay()
    {
        QTemporaryDir home;
        const QProcessEnvironment env = environment(home.path(), home.path(), false);
        const Run version = run({QStringLiteral("--version")}, env);
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QStringLiteral("velkor " VELKOR_PROJECT_VERSION "\n"));
        QCOMPARE(version.err, QString());

        const Run help = run({QStringLiteral("--help")}, env);
        QCOMPARE(help.code, 0);
        QCOMPARE(help.err, QString());
        QCOMPARE(run({QStringLiteral("-h")}, env).out, help.out);
        const qsizetype english = help.out.indexOf(QStringLiteral("Usage: velkor [--dir FOLDER]"));
        QVERIFY2(english > 0, qPrintable(help.out));
        const QString czech = help.out.left(english);
        QVERIFY(czech.startsWith(QStringLiteral("Velkor " VELKOR_PROJECT_VERSION " – servis a ladění jednotky\n")));
        QVERIFY(czech.contains(QStringLiteral("Použití: velkor [--slozka SLOŽKA]")));
        for (const QString &half : {czech, help.out.mid(english)}) {
            for (const char *option : {"--slozka", "--dir", "--help", "--version", "sudo adduser $USER dialout"})
                QVERIFY2(half.contains(QLatin1String(option)), option);
        }
        QCOMPARE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
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
        QTemporaryDir home;
        QTemporaryDir temp;
        const Run r = run(args, environment(home.path(), temp.path(), true));
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.endsWith(says + QStringLiteral("velkor --help\n")), qPrintable(r.err));
        QCOMPARE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void theFolderIsReadFromEitherForm()
    {
        const auto folder = [](std::initializer_list<const char *> args) {
            QStringList list{QStringLiteral("velkor")};
            for (const char *a : args)
                list << QString::fromUtf8(a);
            const CommandLine line = CommandLine::parse(list);
            return line.error.isEmpty() ? line.folder : QStringLiteral("error");
        };
        QCOMPARE(folder({"--dir=~/Dílna"}), QStringLiteral("~/Dílna"));
        QCOMPARE(folder({"--slozka", "a b", "--dir", "c"}), QStringLiteral("c"));
        QCOMPARE(folder({}), QString());
        QCOMPARE(expandHome(QStringLiteral("~"), QStringLiteral("/home/t")), QStringLiteral("/home/t"));
        QCOMPARE(expandHome(QStringLiteral("~/Velkor"), QStringLiteral("/home/t")), QStringLiteral("/home/t/Velkor"));
        QCOMPARE(expandHome(QStringLiteral("~jan/Velkor"), QStringLiteral("/home/t")), QStringLiteral("~jan/Velkor"));
    }

    // The program itself: where it looks for TESTER.INI and when it writes the sample. Checked
    // once it listens for a second start, which it does only after the folder is ready.
    void theWorkingFolderRule_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("prepared");   // a folder made before the start, with its file
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("folder");     // where TESTER.INI is then looked at
        QTest::addColumn<bool>("sample");
        const QByteArray own("[Komunikace]\r\nPort=/dev/ttyUSB7\r\n");
        QTest::newRow("missing, from the menu") << QStringList{QStringLiteral("--slozka"), QStringLiteral("~/Velkor")}
                                                << QString() << QByteArray() << QStringLiteral("home/Velkor") << true;
        QTest::newRow("missing, relative, two levels") << QStringList{QStringLiteral("--dir"), QStringLiteral("dílna/Velkor")}
                                                       << QString() << QByteArray() << QStringLiteral("cwd/dílna/Velkor") << true;
        QTest::newRow("empty") << QStringList{QStringLiteral("--slozka=~/prazdna")} << QStringLiteral("home/prazdna")
                               << QByteArray() << QStringLiteral("home/prazdna") << true;
        QTest::newRow("filled") << QStringList{QStringLiteral("--slozka"), QStringLiteral("~/plna")}
                                << QStringLiteral("home/plna/TESTER.INI") << own << QStringLiteral("home/plna") << false;
        QTest::newRow("filled from Windows") << QStringList{QStringLiteral("--slozka"), QStringLiteral("~/plna")}
                                             << QStringLiteral("home/plna/tester.ini") << own << QStringLiteral("home/plna") << false;
        QTest::newRow("no option") << QStringList() << QString() << QByteArray() << QStringLiteral("cwd") << false;
    }
    void theWorkingFolderRule()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, prepared);
        QFETCH(QByteArray, content);
        QFETCH(QString, folder);
        QFETCH(bool, sample);
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *sub : {"home", "cwd", "tmp"})
            QVERIFY(dir.mkpath(QLatin1String(sub)));
        if (!prepared.isEmpty()) {
            const bool isFile = prepared.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive);
            QVERIFY(dir.mkpath(isFile ? QFileInfo(dir.filePath(prepared)).path() : prepared));
            if (isFile)
                QVERIFY(write(dir.filePath(prepared), content));
        }

        QProcess tool;
        tool.setProcessEnvironment(environment(dir.filePath(QStringLiteral("home")), dir.filePath(QStringLiteral("tmp")), true));
        tool.setWorkingDirectory(dir.filePath(QStringLiteral("cwd")));
        tool.start(QStringLiteral(VELKOR_TOOL_PATH), args);
        QVERIFY(tool.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir.filePath(QStringLiteral("tmp/mardunKX"))), 30000);
        tool.kill();
        QVERIFY(tool.waitForFinished(10000));

        const QDir work(dir.filePath(folder));
        QVERIFY2(work.exists(), qPrintable(work.path()));
        const QByteArray ini = read(work.filePath(QStringLiteral("TESTER.INI")));
        if (sample)
            QCOMPARE(ini, sampleSettings());
        else if (!prepared.isEmpty())
            QCOMPARE(read(dir.filePath(prepared)), content);
        if (!sample)
            QVERIFY(!work.entryList(QDir::Files).contains(QStringLiteral("TESTER.INI")) || prepared.endsWith(QLatin1String("TESTER.INI")));
        // Nothing lands anywhere else: a folder named is the only place written to.
        if (folder != QLatin1String("cwd") && !folder.startsWith(QLatin1String("cwd/")))
            QCOMPARE(QDir(dir.filePath(QStringLiteral("cwd"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // The sample is what a workshop's copy is (Windows-1250, CRLF), reads as the defaults, names
    // no port, and is said once; the port picked afterwards is written into its [Komunikace].
    void theSampleIsSaidOnceAndThePickerFillsInThePort()
    {
        QTemporaryDir root;
        const QString path = QDir(root.path()).filePath(QStringLiteral("Velkor"));
        const WorkingFolder first = prepareWorkingFolder(QStringLiteral("~/Velkor"), QStringLiteral("/"), root.path());
        QCOMPARE(first.path, path);
        QCOMPARE(first.error, QString());
        QVERIFY(first.sampleWritten);
        QVERIFY(first.sampleNotice().contains(path));
        QVERIFY(!prepareWorkingFolder(path, QStringLiteral("/"), root.path()).sampleWritten);

        const QByteArray bytes = read(QDir(path).filePath(QStringLiteral("TESTER.INI")));
        QCOMPARE(bytes, sampleSettings());
        QVERIFY(bytes.contains("Na\xE8\xEDst z \xD8J"));  // "Načíst z ŘJ" in Windows-1250
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(QString::fromUtf16(u"ř"), decodeWindows1250("\xF8"));

        FakePort port;
        ScriptedPrompts prompts;
        TForm2 form(&port, &prompts, nullptr, [] { return QList<PortEntry>(); });
        form.show();
        form.FormCreate(first.path);
        QCOMPARE(prompts.messages, QStringList());  // a sound file: nothing to say about it
        QCOMPARE(form.pollInterval(), 250);
        QCOMPARE(port.openedName, TesterSettings().port);
        // The version --version prints is the one the window shows.
        QCOMPARE(form.windowTitle(), QStringLiteral(" Dasmin - Velkor " VELKOR_PROJECT_VERSION "   -->  Novy.cfg"));
        auto *version = form.findChild<QLabel *>(QStringLiteral("ProgramVersion"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("Velkor " VELKOR_PROJECT_VERSION " – servis a ladění jednotky"));
        auto *picker = form.findChild<PortPicker *>(QStringLiteral("PortPicker"));
        QVERIFY(picker);
        picker->lineEdit()->setText(QStringLiteral("/dev/ttyUSB0"));
        QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
        QCOMPARE(port.openedName, QStringLiteral("/dev/ttyUSB0"));
        const QByteArray chosen = read(QDir(path).filePath(QStringLiteral("TESTER.INI")));
        const qsizetype obeznik = bytes.indexOf("Obeznik=250\r\n") + 13;
        QCOMPARE(chosen, bytes.left(obeznik) + "Port=/dev/ttyUSB0\r\n" + bytes.mid(obeznik));
        QCOMPARE(prompts.messages, QStringList());
    }

    void aFolderThatCannotBeUsedIsSaid()
    {
        QTemporaryDir root;
        const QString file = QDir(root.path()).filePath(QStringLiteral("soubor"));
        QVERIFY(write(file, "x"));
        const WorkingFolder onAFile = prepareWorkingFolder(file, root.path(), root.path());
        QVERIFY2(onAFile.error.startsWith(file + QStringLiteral(" není složka")), qPrintable(onAFile.error));
        const WorkingFolder underAFile = prepareWorkingFolder(QStringLiteral("soubor/Velkor"), root.path(), root.path());
        QVERIFY2(underAFile.error.startsWith(QStringLiteral("Pracovní složku %1/Velkor nelze vytvořit").arg(file)),
                 qPrintable(underAFile.error));
        QVERIFY(!onAFile.sampleWritten && !underAFile.sampleWritten);
        QCOMPARE(read(file), QByteArray("x"));
    }
};

QTEST_MAIN(TestStartOptions)
#include "tst_startoptions.moc"

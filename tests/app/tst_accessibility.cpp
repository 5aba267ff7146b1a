#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "cutoff/cutoffpage.h"
#include "diagnostics/diagnosticspage.h"
#include "livepage/livevaluespage.h"
#include "tuning/tuningpage.h"
#include "link/linktransport.h"
#include <QAccessible>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

// What a screen reader finds in the window after the unit has answered: every value on screen
// under the caption it stands beside.
class TestAccessibility : public QObject
{
    Q_OBJECT
private:
    using Match = std::function<bool(QAccessibleInterface *)>;

    static QAccessibleInterface *findNode(QAccessibleInterface *from, const Match &match)
    {
        if (!from || match(from))
            return from;
        for (int i = 0; i < from->childCount(); ++i) {
            if (QAccessibleInterface *found = findNode(from->child(i), match))
                return found;
        }
        return nullptr;
    }
    // The value named `caption` under the node of `scope`, both found from the window's root.
    static QString valueOf(QWidget *window, QObject *scope, const QString &caption)
    {
        QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window);
        QAccessibleInterface *part = findNode(root, [scope](QAccessibleInterface *i) { return i->object() == scope; });
        // A caption's own label is named by the same word but shows no value.
        QAccessibleInterface *value = findNode(part, [&caption](QAccessibleInterface *i) {
            return i->text(QAccessible::Name) == caption && !i->text(QAccessible::Value).isEmpty();
        });
        return value ? value->text(QAccessible::Value) : QStringLiteral("<none>");
    }

private slots:
    void everyValueIsFoundByItsCaption()
    {
        FakePort port;
        ScriptedPrompts prompts;
        QTemporaryDir folder;
        QFile ini(folder.filePath(QStringLiteral("TESTER.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Komunikace]\r\nObeznik=100\r\n[Verze]\r\n03=Octavia\r\n");
        ini.close();

        auto frame = [](char first, std::initializer_list<std::pair<int, int>> bytes) {
            QByteArray f(34, '\0');
            f[0] = first;
            f[33] = 0x03;
            for (auto [at, value] : bytes)
                f[at] = char(value);
            return f;
        };
        const QByteArray block = frame(0x01, {{1, 0x85}, {3, 0x01}, {7, 0x06}, {16, 3}, {17, 40}, {18, 90}, {19, 160}});
        const QByteArray record =
            frame(0x02, {{1, 4}, {2, 117}, {3, 21}, {10, 0x40}, {11, 0xE2}, {12, 0x01}, {17, 7}, {31, 0x2C}, {32, 0x01}});
        // A stand-in for the unit, answering each request the tool sends.
        QHash<QString, QByteArray> replies{
            {QStringLiteral("02 0F 03"), bytesOf({0x02, 0x80, 0x1E, 0x64, 0x00, 0x03})},
            {QStringLiteral("02 FF 03"), block},
            {QStringLiteral("02 AA 03"), bytesOf({0x03, 10, 60, 10, 60, 0, 0, 0, 0, 0x04})},
            {QStringLiteral("02 80 03"), record},
            {QStringLiteral("02 24 F1 00 03"), bytesOf({0x02, 0x7B, 0x03})}};
        port.onWrite = [&](const QByteArray &sent) {
            if (replies.contains(hex(sent)))
                port.feedSoon(replies.value(hex(sent)), 2);
        };

        MainWindow form(&port, &prompts);
        form.show();
        form.startUp(folder.path());
        QVERIFY(prompts.messages.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(form.findChild<QLabel *>(QStringLiteral("L2"))->text(), QStringLiteral("30"), 5000);
        QTest::mouseClick(form.tuningPage()->readBlockButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form.tuningPage()->statusLabel(1)->text(), QStringLiteral("10000101"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(form.link()->linkState(), 0, 5000);
        form.showPage(form.diagnosticsPage());
        QTest::mouseClick(form.diagnosticsPage()->readButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form.diagnosticsPage()->fieldEdit(0)->text(), QStringLiteral("4"), 5000);
        form.showPage(form.cutOffPage());
        QTest::mouseClick(form.cutOffPage()->cutOffMode(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(form.cutOffPage()->readValueLabel()->text(), QStringLiteral("123"), 5000);
        QTest::mouseClick(form.cutOffPage()->tuningMode(), Qt::LeftButton);

        QWidget *tuning = form.tuningPage(), *live = form.livePage(), *diag = form.diagnosticsPage();
        QWidget *box = form.findChild<QWidget *>(QStringLiteral("GroupBox1"));
        QWidget *line = form.findChild<QWidget *>(QStringLiteral("ConnectionLine"));
        const struct { QWidget *scope; const char *caption, *value; } expected[] = {
            {tuning, "STAVJ", "10000101"}, {tuning, "TPSST", "00000001"}, {tuning, "LAMST", "00000110"},
            {tuning, "Verze Jednotky", "Octavia"}, {tuning, "Typ TPS", "Stoupající TPS"},
            {box, "Lambda", "30"}, {box, "TPS", "128"}, {box, "Poloha", "100"},
            {live, "Lambda", "30"}, {live, "TPS", "128"}, {live, "Poloha", "100"},
            {live, "Napětí lambda", "0,60 V"}, {live, "Napětí TPS", "2,56 V"},
            {diag, "Verze jednotky", "4"}, {diag, "Číslo serie", "117"}, {diag, "Rok výroby", "2021"},
            {diag, "Stav tacho", "123456"}, {diag, "Volnoběh – bohatá", "7"}, {diag, "Maximální – chudá", "300"},
            {form.cutOffPage(), "Adresa", "241"}, {form.cutOffPage(), "Načtená data", "123"},
            {line, "Stav spojení", "Připojeno"},
        };
        for (const auto &e : expected)
            QCOMPARE(valueOf(&form, e.scope, QString::fromUtf8(e.caption)), QString::fromUtf8(e.value));

        // The next status reply is what a screen reader gets from then on.
        replies[QStringLiteral("02 0F 03")] = bytesOf({0x02, 0x80, 0x1F, 0x64, 0x00, 0x03});
        QTRY_COMPARE_WITH_TIMEOUT(valueOf(&form, live, QStringLiteral("Napětí lambda")), QStringLiteral("0,62 V"), 5000);
        QCOMPARE(valueOf(&form, box, QStringLiteral("Lambda")), QStringLiteral("31"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"

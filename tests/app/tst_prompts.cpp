#include "app/qtczech.h"
#include "app/widgetprompts.h"
#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

// The tool's real dialogs, the one place where tests open them: Escape closes each without doing
// anything, and the file dialog speaks Czech.
class TestPrompts : public QObject
{
    Q_OBJECT
private:
    QStringList stayedOpen;
    int escaped = 0;

    // Presses Escape in the focused control of the next modal dialog once `ready` says it shows
    // what it should (ten seconds at most: the file list loads in the background).
    void escapeNextDialog(std::function<bool(QWidget *)> ready = {})
    {
        auto *poll = new QTimer(this);
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        connect(poll, &QTimer::timeout, this, [this, poll, clock, ready] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || (ready && !ready(dialog) && clock->elapsed() < 10000))
                return;
            poll->deleteLater();
            ++escaped;
            QWidget *focused = QApplication::focusWidget();
            QTest::keyClick(focused && focused->window() == dialog ? focused : dialog, Qt::Key_Escape);
            // One that stays open fails the test instead of hanging it.
            QTimer::singleShot(10000, this, [this, left = QPointer<QDialog>(qobject_cast<QDialog *>(dialog))] {
                if (left && left->isVisible()) {
                    stayedOpen << left->windowTitle();
                    left->reject();
                }
            });
        });
        poll->start(20);
    }

private slots:
    void escapeClosesEveryDialogDoingNothing()
    {
        QWidget owner;
        owner.show();
        WidgetPrompts prompts(&owner);
        QTemporaryDir folder;
        const FileQuestion q{QStringLiteral("Uložit"), folder.path(), QStringLiteral("*.cfg"), QStringLiteral("novy.cfg"),
                             QStringLiteral("cfg"), true};
        escapeNextDialog();
        QVERIFY(!prompts.askYesNo(QStringLiteral("Pozor !!!"), QStringLiteral("Opravdu chcete smazat paměť chyb ?")));
        escapeNextDialog();
        prompts.message(QStringLiteral("Info"), QStringLiteral("Obrázek uložen"));
        escapeNextDialog();
        prompts.error(QStringLiteral("Velkor 2"), QStringLiteral("Port nenalezen"));
        escapeNextDialog();
        QCOMPARE(prompts.askSaveFile(q), QString());
        escapeNextDialog();
        QCOMPARE(prompts.askOpenFile(q), QString());
        escapeNextDialog();
        QVERIFY(!prompts.pickColour(Qt::red).isValid());
        escapeNextDialog();
        QCOMPARE(prompts.askSaveChanges(QStringLiteral("Pozor !!!"), QStringLiteral("Máte neuložené změny.")),
                 Prompts::SaveChoice::Cancel);
        escapeNextDialog();
        QCOMPARE(prompts.askText(QStringLiteral("Značka"), QStringLiteral("Text značky:")), QString());
        escapeNextDialog();
        ReportQuestion report{true, true, QStringLiteral("poznámka")};
        QVERIFY(!prompts.askReportOptions(report));
        QPrinter printer;
        printer.setOutputFileName(folder.filePath(QStringLiteral("tisk.pdf")));
        escapeNextDialog();
        QVERIFY(!prompts.askPrinter(printer));
        QTRY_COMPARE(escaped, 10);  // every one of them was a dialog that showed
        QVERIFY(QDir(folder.path()).isEmpty());
        QCOMPARE(stayedOpen, QStringList());
    }

    // The history's password is typed into a hidden field and kept exactly as typed.
    void thePasswordIsTypedHidden()
    {
        QWidget owner;
        owner.show();
        WidgetPrompts prompts(&owner);
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            auto *field = dialog ? dialog->findChild<QLineEdit *>() : nullptr;
            if (!field)
                return;
            poll.stop();
            echo = field->echoMode();
            QTest::keyClicks(field, QStringLiteral(" tajne heslo"));
            QTest::keyClick(field, Qt::Key_Return);
        });
        poll.start(20);
        QCOMPARE(prompts.askPassword(QStringLiteral("Kartotéka"), QStringLiteral("Heslo pro servis@db:5432/velkor:")),
                 QStringLiteral(" tajne heslo"));
        QCOMPARE(echo, QLineEdit::Password);
    }

    // "Přiložit rozbor…" only when the session has a finished recording, then on unless unticked.
    void theReportDialogOffersTheAnalysisOfARecording()
    {
        WidgetPrompts prompts;
        for (const bool available : {false, true}) {
            ReportQuestion question;
            question.analysisAvailable = available;
            question.withAnalysis = available;
            bool found = false, shownOn = false, enabled = false;
            QTimer::singleShot(0, this, [&] {
                QWidget *dialog = QApplication::activeModalWidget();
                if (auto *box = dialog->findChild<QCheckBox *>(QStringLiteral("Rozbor"))) {
                    found = true;
                    shownOn = box->isChecked();
                    enabled = box->isEnabled();
                    QTest::mouseClick(box, Qt::LeftButton);  // unticks it when it can
                }
                dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            });
            QVERIFY(prompts.askReportOptions(question));
            QVERIFY(found);
            QCOMPARE(shownOn, available);
            QCOMPARE(enabled, available);
            QVERIFY(!question.withAnalysis);
        }
    }

    // Last: it makes Czech the default locale of this process.
    void theFileDialogSpeaksCzech()
    {
        QVERIFY(installQtCzech(*qApp));
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("zaloha")));
        QFile file(folder.filePath(QStringLiteral("sada.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(44, '\0')) == 44 && file.flush());
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(14, 21)), QFileDevice::FileModificationTime));
        file.close();

        QStringList shown;  // the headers, then the rows: folder first
        escapeNextDialog([&shown](QWidget *dialog) {
            auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
            const QAbstractItemModel *model = view ? view->model() : nullptr;
            shown.clear();
            for (int row = -1; model && row < model->rowCount(view->rootIndex()); ++row) {
                for (int column = 0; column < 4; ++column)
                    shown << (row < 0 ? model->headerData(column, Qt::Horizontal)
                                      : model->index(row, column, view->rootIndex()).data()).toString();
            }
            // A folder has no size; the rest comes in from a background thread.
            return shown.size() == 12 && !shown[6].isEmpty() && !shown.mid(8).contains(QString());
        });
        WidgetPrompts().askOpenFile(FileQuestion{QStringLiteral("Otevřít"), folder.path(), {}, {}, {}, false});
        QCOMPARE(shown, (QStringList{"Název", "Velikost", "Typ", "Datum změny", "zaloha", "", "Složka", shown.value(7),
                                     "sada.bin", "44 bajtů", "neznámý", "07.12.26 14:21"}));
    }
};

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"

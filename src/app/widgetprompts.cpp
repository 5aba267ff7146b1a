#include "widgetprompts.h"
#include "czechfilecolumns.h"
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A box of the report dialog for something that may not exist this time: greyed out with why.
QCheckBox *optionalBox(QDialog *dialog, const QString &text, const char *name, bool available, bool on, const QString &whyNot)
{
    auto *box = new QCheckBox(text, dialog);
    box->setObjectName(QLatin1String(name));
    box->setChecked(on && available);
    box->setEnabled(available);
    if (!available)
        box->setToolTip(whyNot);
    return box;
}
}  // namespace

void WidgetPrompts::beep()
{
    QApplication::beep();
}

void WidgetPrompts::message(const QString &caption, const QString &text)
{
    QMessageBox::information(m_owner, caption, text, QMessageBox::Ok);
}

void WidgetPrompts::error(const QString &caption, const QString &text)
{
    QMessageBox::critical(m_owner, caption, text, QMessageBox::Ok);
}

void WidgetPrompts::showNotice(const QString &caption, const QString &text)
{
    if (!m_notice) {
        m_notice = new QMessageBox(QMessageBox::Critical, caption, text, QMessageBox::Ok, m_owner);
        m_notice->setAttribute(Qt::WA_DeleteOnClose);
        // The technician may go on working meanwhile: saving a file needs no unit.
        m_notice->setModal(false);
        m_notice->show();
        return;
    }
    m_notice->setWindowTitle(caption);
    m_notice->setText(text);
}

void WidgetPrompts::closeNotice()
{
    if (m_notice)
        m_notice->close();
}

bool WidgetPrompts::askYesNo(const QString &caption, const QString &text)
{
    return QMessageBox::question(m_owner, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

Prompts::SaveChoice WidgetPrompts::askSaveChanges(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    m_owner);
    // Named here, not by Qt's translation: these three words are the tool's own.
    box.button(QMessageBox::Save)->setText(QStringLiteral("Uložit"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Zahodit"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Zrušit"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

QString WidgetPrompts::openFileName(const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(m_owner, caption, folder, filter);
}

QString WidgetPrompts::saveFileName(const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getSaveFileName(m_owner, caption, folder, filter);
}

namespace {
QString askFile(QWidget *owner, const FileQuestion &q, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, q.title, q.folder, q.filter);
    dialog.setProxyModel(new CzechFileColumns(&dialog));
    dialog.setAcceptMode(mode);
    // An open dialog may name a file that is not there yet; the reader says so afterwards.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !q.confirmOverwrite);
    dialog.setDefaultSuffix(q.defaultSuffix);
    dialog.setSizeGripEnabled(true);
    if (!q.fileName.isEmpty())
        dialog.selectFile(q.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
}

QString WidgetPrompts::askOpenFile(const FileQuestion &q)
{
    return askFile(m_owner, q, QFileDialog::AcceptOpen);
}

QString WidgetPrompts::askSaveFile(const FileQuestion &q)
{
    return askFile(m_owner, q, QFileDialog::AcceptSave);
}

QColor WidgetPrompts::pickColour(const QColor &initial)
{
    return QColorDialog::getColor(initial, m_owner);
}

bool WidgetPrompts::askReportOptions(ReportQuestion &question)
{
    QDialog dialog(m_owner);
    dialog.setObjectName(QStringLiteral("ProtokolVolby"));
    dialog.setWindowTitle(QStringLiteral("Servisní protokol"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *form = new QFormLayout;
    struct Line
    {
        const char *name;
        const char *caption;
        QString *value;
    };
    const Line lines[] = {{"Zakaznik", "&Zákazník:", &question.customer},
                          {"Spz", "&SPZ:", &question.plate},
                          {"Vin", "&VIN:", &question.vin},
                          {"Tachometr", "S&tav tachometru (km):", &question.mileage}};
    QList<QLineEdit *> edits;
    for (const Line &line : lines) {
        auto *edit = new QLineEdit(*line.value, &dialog);
        edit->setObjectName(QLatin1String(line.name));
        form->addRow(QString::fromUtf8(line.caption), edit);
        edits << edit;
    }
    layout->addLayout(form);
    auto *pictures = optionalBox(&dialog, QStringLiteral("Přiložit &obrázky (osciloskop, záznam živých hodnot)"), "Obrazky",
                                 question.picturesAvailable, question.withPictures,
                                 QStringLiteral("Není žádný záznam osciloskopu ani živých hodnot."));
    auto *analysis = optionalBox(&dialog, QStringLiteral("Přiložit &rozbor posledního záznamu živých hodnot"), "Rozbor",
                                 question.analysisAvailable, question.withAnalysis,
                                 QStringLiteral("V tomto sezení nebyl dokončen žádný záznam živých hodnot."));
    auto *appendix = new QCheckBox(QStringLiteral("Technická &příloha (celé nastavení s kódováním)"), &dialog);
    appendix->setObjectName(QStringLiteral("Priloha"));
    appendix->setChecked(question.withAppendix);
    auto *notesCaption = new QLabel(QStringLiteral("Poz&námky do protokolu:"), &dialog);
    auto *notes = new QPlainTextEdit(question.notes, &dialog);
    notes->setObjectName(QStringLiteral("Poznamky"));
    notes->setTabChangesFocus(true);
    notesCaption->setBuddy(notes);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Vytvořit"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(pictures);
    layout->addWidget(analysis);
    layout->addWidget(appendix);
    layout->addWidget(notesCaption);
    layout->addWidget(notes);
    layout->addWidget(buttons);
    dialog.resize(460, 400);
    edits.first()->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (int i = 0; i < edits.size(); ++i)
        *lines[i].value = edits[i]->text().trimmed();
    question.withPictures = pictures->isChecked();
    question.withAnalysis = analysis->isChecked();
    question.withAppendix = appendix->isChecked();
    question.notes = notes->toPlainText();
    return true;
}

bool WidgetPrompts::askPrinter(QPrinter &printer)
{
    QPrintDialog dialog(&printer, m_owner);
    dialog.setWindowTitle(QStringLiteral("Tisk protokolu"));
    return dialog.exec() == QDialog::Accepted;
}

QString WidgetPrompts::askText(const QString &caption, const QString &label)
{
    return QInputDialog::getText(m_owner, caption, label).trimmed();
}

QString WidgetPrompts::askPassword(const QString &caption, const QString &label)
{
    return QInputDialog::getText(m_owner, caption, label, QLineEdit::Password);
}

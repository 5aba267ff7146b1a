#include "widgetprompts.h"
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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

bool WidgetPrompts::askYesNo(const QString &caption, const QString &text)
{
    return QMessageBox::question(m_owner, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
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

QString WidgetPrompts::askText(const QString &caption, const QString &label)
{
    return QInputDialog::getText(m_owner, caption, label).trimmed();
}

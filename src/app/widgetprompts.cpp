#include "widgetprompts.h"
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
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

QColor WidgetPrompts::pickColour(const QColor &initial)
{
    return QColorDialog::getColor(initial, m_owner);
}

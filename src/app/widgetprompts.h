#pragma once
#include "prompts/prompts.h"
#include <QPointer>

class QMessageBox;
class QWidget;

// The real dialogs: message boxes owned by the main window and the system beep.
class WidgetPrompts : public Prompts
{
public:
    explicit WidgetPrompts(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }

    void beep() override;
    void message(const QString &caption, const QString &text) override;
    void error(const QString &caption, const QString &text) override;
    void showNotice(const QString &caption, const QString &text) override;
    void closeNotice() override;
    bool askYesNo(const QString &caption, const QString &text) override;
    SaveChoice askSaveChanges(const QString &caption, const QString &text) override;
    QString openFileName(const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &folder, const QString &filter) override;
    QString askOpenFile(const FileQuestion &q) override;
    QString askSaveFile(const FileQuestion &q) override;
    QString askText(const QString &caption, const QString &label) override;
    QString askPassword(const QString &caption, const QString &label) override;
    QColor pickColour(const QColor &initial) override;
    bool askReportOptions(ReportQuestion &question) override;
    bool askPrinter(QPrinter &printer) override;

private:
    QWidget *m_owner;
    QPointer<QMessageBox> m_notice;
};

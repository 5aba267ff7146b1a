#pragma once
#include <QStringList>
#include <QWidget>

class QPlainTextEdit;

// The page "Info - F1": read-only notes for the technician on what each unit version supports,
// and the window's keyboard shortcuts.
class InfoPage : public QWidget
{
    Q_OBJECT
public:
    // The buttons the notes name, as captioned on their pages.
    struct Captions
    {
        QString readDiagnostics = QStringLiteral("Načtení diagnostiky");
        QString readBlock = QStringLiteral("Načíst z ŘJ");
        QString sendBlock = QStringLiteral("Odeslat do ŘJ");
    };

    explicit InfoPage(QWidget *parent = nullptr);

    // `shortcuts`: one line per shortcut, "Ctrl+A – …".
    void showNotes(const Captions &captions, const QStringList &shortcuts);
    static QString notes(const Captions &captions, const QStringList &shortcuts);

private:
    QPlainTextEdit *m_memo;
};

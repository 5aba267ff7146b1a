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
        QString readDiagnostics;
        QString readBlock;
        QString sendBlock;
    };

    explicit InfoPage(QWidget *parent = nullptr);

    // The notes are empty until the window names its buttons and shortcuts here. `shortcuts`:
    // one line per shortcut, "Ctrl+A – …".
    void showNotes(const Captions &captions, const QStringList &shortcuts);

private:
    QPlainTextEdit *m_memo;
};

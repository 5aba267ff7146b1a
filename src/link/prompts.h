#pragma once
#include <QString>

// Declared only: the link beeps through here but never picks a colour, so it needs no Qt Gui.
// Whoever calls or implements pickColour includes <QColor>.
class QColor;

// Every modal interaction of the tool goes through here, so tests can script the answers and
// no test ever waits on a dialog.
class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual void beep() = 0;
    // OK box with a caption.
    virtual void message(const QString &caption, const QString &text) = 0;
    // OK box for something that went wrong (the port cannot be opened or was lost).
    virtual void error(const QString &caption, const QString &text) { message(caption, text); }
    // Yes/No box with a question icon and No as the default button; true for Yes.
    virtual bool askYesNo(const QString &caption, const QString &text) = 0;
    // File dialogs; an empty result means cancelled.
    virtual QString openFileName(const QString &caption, const QString &folder, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &folder, const QString &filter) = 0;
    // Colour dialog; an invalid colour means cancelled.
    virtual QColor pickColour(const QColor &initial) = 0;
};

#pragma once
#include <QString>

// Declared only: the link beeps through here but never picks a colour, so it needs no Qt Gui.
// Whoever calls or implements pickColour includes <QColor>.
class QColor;
class QPrinter;
// A file dialog as the page that asks sets it up: the name it proposes, where it starts, which
// files it shows and, for a save, whether it asks before replacing a file.
struct FileQuestion
{
    QString title;
    QString folder;            // where the dialog starts
    QString filter;            // e.g. "*.cfg"
    QString fileName;          // proposed name, relative to `folder` or absolute
    QString defaultSuffix;     // added to a name typed without one, e.g. "cfg"
    bool confirmOverwrite = false;
};

// What the technician decides in the small dialog before a service report is made.
struct ReportQuestion
{
    bool picturesAvailable = false;  // there is an oscilloscope picture or a recording to add
    bool withPictures = false;
    QString notes;                   // free text printed in the report
    // The customer and the vehicle, proposed from the unit's last report and kept from the answer.
    QString customer;
    QString plate;
    QString vin;
    QString mileage;
    bool withAppendix = true;        // the technical appendix: the full settings with their encodings
    bool analysisAvailable = false;  // this session has a finished live-value recording to analyse
    bool withAnalysis = false;
};

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
    // An error box that does not wait for OK: it stays until the technician closes it or
    // closeNotice() takes it away because what it reports is over. Showing it again while it is
    // open only replaces its text, so there is never more than one.
    virtual void showNotice(const QString &caption, const QString &text) { error(caption, text); }
    virtual void closeNotice() {}
    // Yes/No box with a question icon and No as the default button; true for Yes.
    virtual bool askYesNo(const QString &caption, const QString &text) = 0;
    // Work that would be lost: "Uložit", "Zahodit" or "Zrušit" (also Esc and closing the box).
    // By default a Yes/No box: Yes saves, No cancels, so nothing is ever dropped unasked.
    enum class SaveChoice { Save, Discard, Cancel };
    virtual SaveChoice askSaveChanges(const QString &caption, const QString &text)
    {
        return askYesNo(caption, text) ? SaveChoice::Save : SaveChoice::Cancel;
    }
    // File dialogs; an empty result means cancelled.
    virtual QString openFileName(const QString &caption, const QString &folder, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &folder, const QString &filter) = 0;
    // File dialogs with everything a page sets up; an empty result means cancelled. By default
    // they fall back to the plain questions above.
    virtual QString askOpenFile(const FileQuestion &q) { return openFileName(q.title, q.folder, q.filter); }
    virtual QString askSaveFile(const FileQuestion &q) { return saveFileName(q.title, q.folder, q.filter); }
    // One short line of text; an empty result means cancelled or nothing typed.
    virtual QString askText(const QString &caption, const QString &label) { (void)caption; (void)label; return {}; }
    // The same with what is typed hidden, for a password; kept exactly as typed.
    virtual QString askPassword(const QString &caption, const QString &label) { (void)caption; (void)label; return {}; }
    // Colour dialog; an invalid colour means cancelled.
    virtual QColor pickColour(const QColor &initial) = 0;
    // The dialog before a service report; false means cancelled. Without a dialog the report
    // goes without pictures and notes.
    virtual bool askReportOptions(ReportQuestion &question) { (void)question; return true; }
    // The system's print dialog set up for `printer`; false means cancelled.
    virtual bool askPrinter(QPrinter &printer) { (void)printer; return false; }
};

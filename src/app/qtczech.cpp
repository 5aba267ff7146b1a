#include "qtczech.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Qt 6 asks for the file types ("Folder", "File", "Drive") in a context its Czech catalogue does
// not have yet; the catalogue still holds the same texts under the file dialog's context.
class MovedFileTypes : public QTranslator
{
public:
    MovedFileTypes(const QTranslator *catalogue, QObject *parent) : QTranslator(parent), m_catalogue(catalogue) {}

    QString translate(const char *context, const char *sourceText, const char *disambiguation, int n) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return QString();
        return m_catalogue->translate("QFileDialog", sourceText, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

private:
    const QTranslator *m_catalogue;
};

}  // namespace

bool installQtCzech(QCoreApplication &app)
{
    // What Qt words from locale data (the type of a file in the file dialog, sizes and dates
    // where it uses the default locale) follows the interface, not the system's language.
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    app.installTranslator(new MovedFileTypes(translator, &app));
    return app.installTranslator(translator);
}

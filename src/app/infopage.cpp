#include "infopage.h"
#include "appversion.h"
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

InfoPage::InfoPage(QWidget *parent)
    : QWidget(parent)
{
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    auto *version = new QLabel(QStringLiteral("Velkor %1 – servis a ladění jednotky").arg(appVersion()), this);
    version->setObjectName(QStringLiteral("ProgramVersion"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(version);
    layout->addWidget(m_memo);
}

void InfoPage::showNotes(const Captions &captions, const QStringList &shortcuts)
{
    QString text = QStringLiteral(
        "Řídicí jednotky jsou neustále vyvíjeny, starší verze proto nemusí podporovat všechny funkce "
        "tohoto programu.\n\n"
        "Verzi jednotky zjistíte stiskem tlačítka \"%1\" na stránce \"Palubní diagnostika\".\n\n"
        "Verze č. 1 nepodporuje osciloskop, Cut off, úrovně emulace signálu lambda.\n"
        "Verze č. 2 nepodporuje osciloskop, Cut off, úrovně emulace signálu lambda.\n"
        "Verze č. 3 nepodporuje úrovně emulace signálu lambda.\n"
        "Verze č. 4 podporuje všechny funkce, prodává se jako \"Velkor+\".\n"
        "Verze č. 5 nepodporuje Cut-off.\n\n"
        "Funkce Cut-off vyžaduje připojený černý vodič modulu Cut-off.\n\n"
        "Každá verze nastavená konfiguračními soubory nového typu (pojmenovanými typ_***.cfg) "
        "vytvořenými po 25.10.2001 umí po stisku \"%2\" na stránce \"Ladění\" "
        "identifikovat vozidlo.\n\n"
        "Verze 1, 2 a 3 nemají úrovně emulace: po \"%3\" ověří program jen parametry. Odešlou-li se "
        "jim i úrovně (načtené ze souboru), hlásí \"Uložení neověřeno!\".\n")
                       .arg(captions.readDiagnostics, captions.readBlock, captions.sendBlock);
    if (!shortcuts.isEmpty())
        text += QStringLiteral("\nKlávesové zkratky:\n") + shortcuts.join(QLatin1Char('\n')) + QLatin1Char('\n');
    m_memo->setPlainText(text);
}

#include "reportbuilder.h"
#include "analysissection.h"
#include "commitstate.h"
#include "reportfont.h"
#include "reporttexts.h"
#include "cfgfiles/setcomparison.h"
#include "diagnostics/recordfields.h"
#include "link/unitdata.h"
#include "tuning/paramnames.h"
#include <QTextDocument>
#include <QUrl>

using namespace RecordFields;

namespace {
const QString NotRead = QStringLiteral("nenačteno");
const QUrl ScopeImage(QStringLiteral("report:osciloskop.png"));
const QUrl PlotImage(QStringLiteral("report:zaznam.png"));
// A picture spans the text width: 170 mm at the 96 dots an inch a document's images are laid at.
constexpr int PictureWidth = 640;
constexpr int PictureHeight = 300;

const char *const StyleSheet =
    "h1 { font-size: 15pt; margin-bottom: 2px; }"
    "h2 { font-size: 11pt; margin-top: 12px; margin-bottom: 4px; }"
    "table.grid { border-collapse: collapse; border-color: #808080; font-size: 8pt; }"
    "table.grid th { background-color: #e6e6e6; font-weight: bold; text-align: left; }"
    "td.number { text-align: right; }"
    "p.muted { color: #555555; }"
    "p.nothing { font-style: italic; }"
    "p.warning { font-weight: bold; }"
    "p.item { margin-top: 0px; margin-bottom: 1px; margin-left: 12px; }"
    "h2.appendix { font-size: 13pt; }"
    "p.shows { color: #555555; font-style: italic; margin-top: 0px; margin-bottom: 3px; }"
    "p.caption { color: #333333; margin-top: 2px; margin-bottom: 10px; }";
// Dots to write on by hand where nothing was typed.
const QString HandLine(40, QLatin1Char('.'));

QString esc(const QString &text)
{
    // HTML folds runs of blanks, and the operating times have two in the middle.
    return text.toHtmlEscaped().replace(QStringLiteral("  "), QStringLiteral("&nbsp; "));
}
QString utf8(const char *text) { return QString::fromUtf8(text); }

QString cell(const QString &html, const char *cls = nullptr)
{
    return cls ? QStringLiteral("<td class=\"%1\">%2</td>").arg(QLatin1String(cls), html)
               : QStringLiteral("<td>%1</td>").arg(html);
}
// Column widths in per cent, when the table sets them. A table that runs over a page break
// repeats this row on the next page.
QString headRow(const QStringList &captions, const QList<int> &widths = {})
{
    QString row = QStringLiteral("<thead><tr>");
    for (int i = 0; i < captions.size(); ++i)
        row += i < widths.size() ? QStringLiteral("<th width=\"%1%\">%2</th>").arg(widths[i]).arg(esc(captions[i]))
                                 : QStringLiteral("<th>%1</th>").arg(esc(captions[i]));
    return row + QStringLiteral("</tr></thead>");
}
QString grid(const QString &rows, const QString &width = QString())
{
    return QStringLiteral("<table class=\"grid\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\"%1>%2</table>")
        .arg(width.isEmpty() ? QString() : QStringLiteral(" width=\"%1\"").arg(width), rows);
}
QString nothing(const QString &what = QString())
{
    return QStringLiteral("<p class=\"nothing\">%1</p>").arg(esc(what.isEmpty() ? NotRead : what + QStringLiteral(": ") + NotRead));
}

// Numbered section headings, in the order the sections are written.
class Sections
{
public:
    // The heading and a short line saying what the section shows.
    QString heading(const QString &title, const QString &shows)
    {
        return QStringLiteral("<h2>%1. %2</h2><p class=\"shows\">%3</p>").arg(++m_count).arg(esc(title), esc(shows));
    }
private:
    int m_count = 0;
};

QString header(const ReportInput &in)
{
    const Workshop &w = in.workshop;
    QString shop;
    if (w.isEmpty()) {
        shop = esc(QStringLiteral("Dílna: ") + HandLine);
    } else {
        QStringList lines;
        if (!w.name.isEmpty())
            lines << QStringLiteral("<b>%1</b>").arg(esc(w.name));
        if (!w.address.isEmpty())
            lines << esc(w.address);
        if (!w.phone.isEmpty())
            lines << esc(QStringLiteral("Tel.: ") + w.phone);
        if (!w.technician.isEmpty())
            lines << esc(QStringLiteral("Technik: ") + w.technician);
        shop = lines.join(QStringLiteral("<br>"));
    }
    const QString made = esc(QStringLiteral("Datum: ") + ReportTexts::dateTime(in.madeAt)) + QStringLiteral("<br>")
        + esc(QStringLiteral("Program: ") + in.toolVersion);
    return QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                          "<td width=\"60%\">%1</td><td align=\"right\">%2</td></tr></table>"
                          "<h1>Servisní protokol</h1>")
        .arg(shop, made);
}

QString vehicleSection(Sections &s, const ReportInput &in)
{
    const VehicleDetails &v = in.vehicle;
    const QString mileage = ReportTexts::kilometres(v.mileage);
    const QPair<QString, QString> lines[] = {{QStringLiteral("Zákazník"), v.customer},
                                             {QStringLiteral("SPZ"), v.plate},
                                             {QStringLiteral("VIN"), v.vin},
                                             {QStringLiteral("Stav tachometru vozidla"), mileage}};
    QString rows;
    for (const auto &line : lines)
        rows += QStringLiteral("<tr>") + cell(esc(line.first)) + cell(esc(line.second.isEmpty() ? HandLine : line.second)) + QStringLiteral("</tr>");
    return s.heading(QStringLiteral("Zákazník a vozidlo"), QStringLiteral("Komu a u jakého vozidla byl servis proveden.")) + grid(rows, QStringLiteral("70%"));
}

QString unitSection(Sections &s, const UnitData &data)
{
    QString html = s.heading(QStringLiteral("Řídicí jednotka"),
                              QStringLiteral("Co o sobě řídicí jednotka plynového zařízení uvádí ve svém záznamu."));
    if (data.record().isEmpty())
        return html + nothing();
    QString rows;
    for (int i = 0; i < FieldCount; ++i)
        rows += QStringLiteral("<tr>") + cell(esc(ReportTexts::recordCaption(i))) + cell(esc(ReportTexts::recordValue(i, data.record().bytes())))
            + QStringLiteral("</tr>");
    return html + grid(rows, QStringLiteral("70%"));
}

// What was done, in words: clearing, each changed setting with its old and new value.
QString workSection(Sections &s, const UnitData &data, const ReportInput &in)
{
    QStringList items;
    QStringList changed;
    if (data.record().errorsCleared())
        items << QStringLiteral("Paměť chyb smazána.");
    if (!in.blockOfThisUnit || !data.set().blockValid()) {
        items << QStringLiteral("Nastavení této jednotky nebylo načteno.");
    } else if (in.setBefore.isEmpty()) {
        items << (data.set().settingsWritten() ? QStringLiteral("Nastavení zapsáno do jednotky; stav před prací nebyl načten, změny proto nelze vyjmenovat.")
                                       : QStringLiteral("Nastavení jednotky nebylo měněno."));
    } else {
        changed = changesWithCommitState(data.set(), in.setBefore, in.versionNames);
        if (changed.isEmpty())
            items << QStringLiteral("Nastavení jednotky beze změny.");
        else
            items << QStringLiteral("Změny nastavení (původní → nová hodnota):");
    }
    QString html = s.heading(QStringLiteral("Provedené práce"), QStringLiteral("Co bylo v jednotce při servisu změněno."));
    for (const QString &item : items)
        html += QStringLiteral("<p>%1</p>").arg(esc(item));
    for (const QString &line : changed)
        html += QStringLiteral("<p class=\"item\">%1</p>").arg(esc(line));
    return html;
}

QString errorSection(Sections &s, const UnitData &data)
{
    QString html = s.heading(QStringLiteral("Paměť chyb"), QStringLiteral("Odchylky směsi, které jednotka sama zaznamenala za provozu."));
    // Counters read before a clearing are no longer the unit's.
    const bool cleared = data.record().errorsCleared();
    const QByteArray now = data.record().countersNow();
    const QByteArray before = data.record().beforeClearing();
    if (cleared)
        html += QStringLiteral("<p>Paměť chyb byla při servisu smazána.</p>");
    if (now.isEmpty() && before.isEmpty())
        return html + nothing();
    html += QStringLiteral("<p>Kolikrát jednotka zaznamenala příliš bohatou nebo chudou směs v jednotlivých rozsazích výkonu.%1</p>")
                .arg(cleared ? QStringLiteral(" Smazáním se počítání začíná znovu; příčinu ukáže další provoz nebo rozbor jízdy.")
                             : QString());

    QStringList captions{QStringLiteral("Rozsah výkonu")};
    if (!now.isEmpty())
        captions << QStringLiteral("Bohatá směs") << QStringLiteral("Chudá směs");
    if (!before.isEmpty())
        captions << QStringLiteral("Bohatá před smazáním") << QStringLiteral("Chudá před smazáním");
    QString rows = headRow(captions);
    for (int row = 0; row < CounterRows; ++row) {
        rows += QStringLiteral("<tr>") + cell(esc(utf8(Counters[row].caption)));
        for (const QByteArray *record : {&now, &before}) {
            if (record->isEmpty())
                continue;
            for (int lean = 0; lean < 2; ++lean)
                rows += cell(QString::number(number(*record, counterOffset(row, lean), 2)), "number");
        }
        rows += QStringLiteral("</tr>");
    }
    html += grid(rows, !before.isEmpty() && !now.isEmpty() ? QStringLiteral("100%") : QStringLiteral("60%"));
    if (cleared && now.isEmpty())
        html += nothing(QStringLiteral("Stav po smazání"));
    if (cleared && before.isEmpty())
        html += nothing(QStringLiteral("Hodnoty před smazáním"));
    return html;
}

// How a byte's number reads: its range, and what the unit makes of it.
QString encodingText(const ComparisonRow &row)
{
    using ParamNames::Encoding;
    if (!row.field) {
        for (const ParamNames::StatusGroup &g : ParamNames::StatusGroups) {
            if (utf8(g.caption) != row.name)
                continue;
            QStringList bits;
            for (int bit = 0; bit < 8; ++bit)
                if (g.mask & (1u << bit))
                    bits << QString::number(bit);
            return QStringLiteral("%1, bit %2").arg(utf8(ParamNames::param(g.index)->field), bits.join(QStringLiteral(", ")));
        }
        return QString();
    }
    switch (row.field->encoding) {
    case Encoding::Plain: return ParamNames::rangeText(*row.field);
    case Encoding::Speed: return QStringLiteral("1–255 (256 − bajt)");
    case Encoding::Voltage: return QStringLiteral("0–255 po 0,02 V");
    case Encoding::Bits: return QStringLiteral("bity 7…0");
    case Encoding::Version: return QStringLiteral("číslo a název verze");
    case Encoding::Carried: return QStringLiteral("vlastní bajt jednotky");
    }
    return QString();
}

bool isLevel(const ComparisonRow &row)
{
    if (!row.field)
        return false;
    // By name: each file that includes the names table holds its own copy of it.
    for (const ParamNames::Field &f : ParamNames::Levels)
        if (qstrcmp(f.field, row.field->field) == 0)
            return true;
    return false;
}

QString settingsSection(const UnitData &data, const ReportInput &in)
{
    QString html = QStringLiteral("<h2>Nastavení jednotky</h2><p class=\"shows\">Každá hodnota sady v jednotce s rozsahem a kódováním.</p>");
    if (!data.set().blockValid() || !in.blockOfThisUnit)
        return html + nothing();
    // The unit's own version (its software) is not the set's, which the table's first rows name.
    if (!data.record().isEmpty())
        html += QStringLiteral("<p>Verze jednotky (podle jejího záznamu): %1</p>").arg(esc(text(Fields[0], data.record().bytes())));

    const ParameterSet ours = data.set().value();
    const bool compared = !in.setBefore.isEmpty();
    const QList<ComparisonRow> rows = compareSets(ours, compared ? in.setBefore : ours, in.versionNames);

    int changed = 0;
    bool versionCleared = false;
    QString body = compared ? headRow({QStringLiteral("Parametr"), QStringLiteral("Hodnota"), QStringLiteral("Původně"),
                                       QStringLiteral("Rozsah, kódování")},
                                      {33, 25, 18, 24})
                            : headRow({QStringLiteral("Parametr"), QStringLiteral("Hodnota"), QStringLiteral("Rozsah, kódování")},
                                      {36, 30, 34});
    for (const ComparisonRow &row : rows) {
        // Placeholder levels are not the unit's: only levels it sent or a file held count.
        const bool unknown = isLevel(row) && !data.set().levelsValid();
        const bool differs = compared && !unknown && row.differs;
        const bool version = row.field && row.field->encoding == ParamNames::Encoding::Version;
        // The version byte is no setting of its own: every hand edit clears it.
        changed += differs && !version ? 1 : 0;
        versionCleared = versionCleared || (differs && version && row.ours.startsWith(QStringLiteral("0 ")));
        const QString value = unknown ? NotRead : ReportTexts::czechValue(row.ours);
        body += QStringLiteral("<tr>") + cell(esc(version ? ReportTexts::settingName(row) : row.name))
            + cell(differs ? QStringLiteral("<b>%1</b>").arg(esc(value)) : esc(value));
        if (compared)
            body += cell(differs ? esc(ReportTexts::czechValue(row.theirs)) : QString());
        body += cell(esc(encodingText(row))) + QStringLiteral("</tr>");
    }

    if (!compared)
        html += QStringLiteral("<p class=\"muted\">Bez porovnání: stav jednotky před prací nebyl v tomto sezení načten.</p>");
    else if (changed == 0)
        html += QStringLiteral("<p>Beze změny proti stavu před prací (záloha %1).</p>").arg(esc(in.setBeforeName));
    else
        html += QStringLiteral("<p>Změněno hodnot: %1 proti stavu před prací (záloha %2); původní hodnota je uvedena vedle nové.%3</p>")
                    .arg(changed)
                    .arg(esc(in.setBeforeName), versionCleared ? QStringLiteral(" Verze sady: změněna ruční úpravou.") : QString());
    return html + grid(body, QStringLiteral("100%"));
}

// A picture with its caption under it; nothing at all for a recording that was not made.
QString picture(QTextDocument &doc, const QUrl &url, const QImage &image, const QString &title, const QString &caption)
{
    if (image.isNull())
        return QString();
    // PDF/A-1 allows no transparency: the picture goes in opaque.
    doc.addResource(QTextDocument::ImageResource, url, image.convertToFormat(QImage::Format_RGB888));
    // No wider than the text, no taller than a third of the page: two pictures share one page.
    int width = std::min(image.width(), PictureWidth);
    int height = image.height() * width / image.width();
    if (height > PictureHeight) {
        width = width * PictureHeight / height;
        height = PictureHeight;
    }
    return QStringLiteral("<p><b>%1</b></p><p><img src=\"%2\" width=\"%3\" height=\"%4\"></p><p class=\"caption\">%5</p>")
        .arg(esc(title), url.toString())
        .arg(width)
        .arg(height)
        .arg(esc(caption));
}

QString picturesSection(Sections &s, QTextDocument &doc, const ReportInput &in)
{
    if (!in.withPictures || (in.scopePicture.isNull() && in.recordingPlot.isNull()))
        return QString();
    return QStringLiteral("<p style=\"page-break-before: always\"></p>")
        + s.heading(QStringLiteral("Obrázky"), QStringLiteral("Průběhy hodnot, které jednotka hlásila při měření během servisu."))
        + picture(doc, ScopeImage, in.scopePicture, QStringLiteral("Osciloskop – poslední záznam"),
                  QStringLiteral("Napětí lambda sondy a poloha serva v čase, jak je ukázal osciloskop při posledním měření."))
        + picture(doc, PlotImage, in.recordingPlot, QStringLiteral("Záznam živých hodnot – poslední záznam"),
                  QStringLiteral("Celá poslední zaznamenaná jízda: lambda sonda, servo, otáčky a škrticí klapka v čase."));
}

// In words for the customer; the figures are the appendix's.
QString analysisSection(Sections &s, const UnitData &data, const ReportInput &in)
{
    if (!in.withAnalysis)
        return QString();
    const ParameterSet current = data.set().value();
    const bool known = data.set().blockValid() && in.blockOfThisUnit;
    return s.heading(QStringLiteral("Rozbor záznamu jízdy"),
                     QStringLiteral("Jak při zkušební jízdě pracovaly lambda sonda a servo a co bylo podle toho upraveno."))
        + analysisForCustomer(in.analysis, known ? &current : nullptr);
}

// On a page of its own: the table is the technician's, wider than the first pages' grids.
QString analysisFigures(const ReportInput &in)
{
    if (!in.withAnalysis)
        return QString();
    return QStringLiteral("<h2 style=\"page-break-before: always\">Rozbor záznamu jízdy – naměřené hodnoty</h2>"
                          "<p class=\"shows\">Hodnoty po rozsazích výkonu s posouzením, směr obohacení a návrhy s čísly.</p>")
        + analysisSectionBody(in.analysis);
}

QString notesSection(Sections &s, const ReportInput &in)
{
    QString html = s.heading(QStringLiteral("Poznámky"), QStringLiteral("Co technik k servisu dodává."));
    const QString notes = in.notes.trimmed();
    if (notes.isEmpty()) {
        // Room to write by hand.
        for (int i = 0; i < 3; ++i)
            html += QStringLiteral("<p>%1</p>").arg(QString(90, QLatin1Char('.')));
    } else {
        html += QStringLiteral("<p>%1</p>").arg(esc(notes).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    }
    const QString &line = HandLine;
    const QString technician = in.workshop.technician.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(esc(in.workshop.technician));
    html += QStringLiteral("<p>&nbsp;</p><p>&nbsp;</p><table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                           "<td width=\"50%\">%1<br>Podpis technika%2</td>"
                           "<td width=\"50%\" align=\"right\">%1<br>Podpis zákazníka</td></tr></table>")
                .arg(line, technician);
    return html;
}
// The technician's part: every setting with its range and encoding, on pages of its own.
QString appendix(const UnitData &data, const ReportInput &in)
{
    return QStringLiteral("<h2 class=\"appendix\" style=\"page-break-before: always\">Technická příloha</h2>")
        + settingsSection(data, in) + analysisFigures(in);
}
}  // namespace

QString reportSerial(const UnitData &data)
{
    for (const Field &f : Fields) {
        if (!data.record().isEmpty() && qstrcmp(f.name, "CSerie") == 0)
            return text(f, data.record().bytes());
    }
    return QStringLiteral("bez-cisla");
}

QString reportFooter(const UnitData &data, const ReportInput &input)
{
    QString footer = QStringLiteral("Servisní protokol %1").arg(ReportTexts::dateTime(input.madeAt));
    if (!data.record().isEmpty())
        footer += QStringLiteral(", jednotka č. %1").arg(reportSerial(data));
    return footer;
}

void buildReport(QTextDocument &document, const UnitData &data, const ReportInput &input)
{
    document.setDefaultFont(ReportFont::font(9.5));
    document.setDefaultStyleSheet(QString::fromLatin1(StyleSheet));
    document.setDocumentMargin(0);
    Sections sections;
    QString html = QStringLiteral("<html><body>") + header(input);
    if (data.record().isEmpty())
        html += QStringLiteral("<p class=\"warning\">Protokol byl vytvořen před načtením záznamu jednotky: "
                               "číslo jednotky, provozní doby a paměť chyb v něm nejsou.</p>");
    html += vehicleSection(sections, input);
    html += unitSection(sections, data);
    html += workSection(sections, data, input);
    if (input.previous.known())
        html += sections.heading(QStringLiteral("Od předchozí návštěvy"), QStringLiteral("Co se v jednotce změnilo od minulého servisu."))
            + previousVisitSectionBody(input.previous, data, input.versionNames, input.blockOfThisUnit);
    html += errorSection(sections, data);
    html += analysisSection(sections, data, input);
    html += notesSection(sections, input);
    html += picturesSection(sections, document, input);
    if (input.withAppendix)
        html += appendix(data, input);
    document.setHtml(html + QStringLiteral("</body></html>"));
    // After the HTML, which would set a title of its own.
    document.setMetaInformation(QTextDocument::DocumentTitle, reportFooter(data, input));
}

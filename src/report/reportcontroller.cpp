#include "reportcontroller.h"
#include "toolsetup/toolsetup.h"
#include "reportbuilder.h"
#include "reportfont.h"
#include "reportpdf.h"
#include "cfgfiles/configfile.h"
#include "datalog/keptanalyses.h"
#include "diagnostics/diagnosticspage.h"
#include "diagnostics/recordfields.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "scope/scopedrawing.h"
#include "scope/scopepage.h"
#include "scope/scopesamples.h"
#include "scope/scopeview.h"
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace {
const QString Caption = QStringLiteral("Protokol");
// A whole recording is squeezed to about this width, so it stays readable across an A4 page.
// Narrow enough that the picture's 12-pixel text prints at 8 pt or more across 170 mm.
constexpr double ReportPictureWidth = 600;
constexpr int PictureTextPixels = 12;
// The tachometer reading the unit holds, as typed into the dialog; empty before a record or at 0.
QString recordedMileage(const UnitData &data)
{
    if (data.record().isEmpty())
        return QString();
    const RecordFields::Field &tacho = RecordFields::Fields[RecordFields::TachoField];
    const quint32 km = RecordFields::number(data.record().bytes(), tacho.offset, 3);
    return km ? QString::number(km) : QString();
}

std::optional<UnitIdentity> unitOf(const UnitData &data)
{
    return UnitIdentity::fromRecord(data.record().bytes());
}

// The unit as part of a file name, "117-2019" (serial numbers repeat between years); "bez-cisla"
// before the record was read.
QString fileUnit(const UnitData &data)
{
    const std::optional<UnitIdentity> unit = unitOf(data);
    return unit ? unit->fileNamePart() : QStringLiteral("bez-cisla");
}
}

ReportController::ReportController(UnitData *data, const ToolSetup *setup, DiagnosticsPage *page, Prompts *prompts,
                                   QObject *parent)
    : QObject(parent), m_data(data), m_setup(setup), m_page(page), m_prompts(prompts), m_session(data)
{
    connect(page->reportButton(), &QPushButton::clicked, this, &ReportController::makeReport);
    connect(page->printButton(), &QPushButton::clicked, this, &ReportController::printReport);
}

QImage ReportController::scopePicture() const
{
    if (!m_scope || m_scope->samples().count() == 0)
        return QImage();
    ScopeStyle style = m_scope->view()->style();
    style.zoom = std::max(style.zoom, m_scope->samples().count() / ReportPictureWidth);
    QFont font = m_scope->view()->font();
    font.setPixelSize(PictureTextPixels);
    return ScopeDrawing::picture(m_scope->samples(), style, font);
}

bool ReportController::prepare(QTextDocument &document, ReportInput &input)
{
    if (!ReportFont::available()) {
        m_prompts->error(Caption, ReportFont::missingText());
        return false;
    }
    const QImage scope = scopePicture();
    const QImage plot = m_plot ? m_plot() : QImage();
    const std::optional<UnitIdentity> unit = unitOf(*m_data);
    const QString recording = m_lastRecording ? m_lastRecording() : QString();
    ReportQuestion question = proposal(unit, !scope.isNull() || !plot.isNull(), !recording.isEmpty());
    if (!m_prompts->askReportOptions(question))
        return false;
    m_lastAnswer = question;
    m_lastUnit = unit;
    m_answered = true;
    input.vehicle = {question.customer.trimmed(), question.plate.trimmed(), question.vin.trimmed(), question.mileage.trimmed()};
    if (unit) {
        m_vehicles.setFolder(m_setup->dataFilePath(QStringLiteral("vozidla")));
        m_vehicles.save(*unit, input.vehicle);
    }
    emit detailsAnswered(input.vehicle);
    input.withAppendix = question.withAppendix;

    input.workshop = m_workshop;
    input.madeAt = m_now();
    input.toolVersion = m_toolVersion;
    input.notes = question.notes;
    input.withPictures = question.withPictures && question.picturesAvailable;
    if (input.withPictures) {
        input.scopePicture = scope;
        input.recordingPlot = plot;
    }
    input.withAnalysis = question.withAnalysis && !recording.isEmpty();
    if (input.withAnalysis) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const AnalysisLimits limits = m_limits ? m_limits() : AnalysisLimits();
        input.analysis = m_kept ? m_kept->await(recording, m_data->set().value(), limits)
                                : analyseRecordingFileAside(recording, m_data->set().value(), limits);
        QApplication::restoreOverrideCursor();
    }
    input.blockOfThisUnit = m_session.blockIsThisUnits();
    input.versionNames = m_setup->versionNames();
    if (m_previousVisit)
        input.previous = m_previousVisit();
    const QString backup = m_session.backupBeforeWrites();
    if (!backup.isEmpty()) {
        input.setBefore = ConfigFile::readSet(backup);
        if (!input.setBefore.isEmpty())
            input.setBeforeName = QFileInfo(backup).fileName();
    }
    buildReport(document, *m_data, input);
    return true;
}

ReportQuestion ReportController::proposal(const std::optional<UnitIdentity> &unit, bool picturesAvailable, bool analysisAvailable)
{
    ReportQuestion q;
    if (m_answered && unit == m_lastUnit) {
        q = m_lastAnswer;
        // Pictures that came since the last answer are added unless they were refused.
        q.withPictures = picturesAvailable && (q.withPictures || !q.picturesAvailable);
        q.withAnalysis = analysisAvailable && (q.withAnalysis || !q.analysisAvailable);
    } else {
        q.withPictures = picturesAvailable;
        q.withAnalysis = analysisAvailable;
        if (unit) {
            m_vehicles.setFolder(m_setup->dataFilePath(QStringLiteral("vozidla")));
            const VehicleDetails v = m_vehicles.load(*unit);
            q.customer = v.customer, q.plate = v.plate, q.vin = v.vin, q.mileage = v.mileage;
        }
    }
    // The unit's own reading, stored there a moment ago, beats one typed at an earlier visit; a
    // reading typed over it stays until the unit holds another.
    const QString recorded = recordedMileage(*m_data);
    if (!recorded.isEmpty() && (!m_answered || unit != m_lastUnit || recorded != m_mileageProposed))
        q.mileage = recorded;
    m_mileageProposed = recorded;
    q.picturesAvailable = picturesAvailable;
    q.analysisAvailable = analysisAvailable;
    return q;
}

void ReportController::makeReport()
{
    QTextDocument document;
    ReportInput input;
    if (!prepare(document, input))
        return;
    const QString folder = m_setup->dataFilePath(QStringLiteral("protokoly"));
    if (!QDir().mkpath(folder)) {
        m_prompts->error(Caption, QStringLiteral("Protokol nelze uložit: složku %1 nelze vytvořit.")
                                      .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    const QString path = ReportPdf::freePath(folder, input.madeAt, fileUnit(*m_data));
    QString error;
    if (!ReportPdf::write(document, path, reportFooter(*m_data, input), &error)) {
        m_prompts->error(Caption, QStringLiteral("Protokol nelze uložit do %1:\n%2")
                                      .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_last = path;
    emit reportWritten(path);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        m_prompts->message(Caption, QStringLiteral("Protokol uložen: %1\nProhlížeč PDF se nepodařilo otevřít.")
                                        .arg(QDir::toNativeSeparators(path)));
}

void ReportController::printReport()
{
    QTextDocument document;
    ReportInput input;
    if (!prepare(document, input))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPdf::pageLayout());
    // Also the name a print to a file proposes: no dots, which would pass for an extension.
    printer.setDocName(QStringLiteral("Protokol %1_%2")
                           .arg(input.madeAt.toString(QStringLiteral("yyyy-MM-dd_HH-mm")), fileUnit(*m_data)));
    if (!m_prompts->askPrinter(printer))
        return;
    if (!ReportPdf::paint(document, printer, reportFooter(*m_data, input)))
        m_prompts->error(Caption, QStringLiteral("Tisk se nepodařil: tiskárna není dostupná."));
}

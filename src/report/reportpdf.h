#pragma once
#include <QPageLayout>
#include <QString>

class QDateTime;
class QPagedPaintDevice;
class QTextDocument;

// Putting a report document on paper: A4 portrait pages with a footer line, as a PDF file or
// through a printer.
namespace ReportPdf {

QPageLayout pageLayout();

// Lays `document` out for `device`'s pages and paints them, each with `footer` and
// "strana n/m". False when the device cannot be painted on.
bool paint(QTextDocument &document, QPagedPaintDevice &device, const QString &footer);

// Writes `document` as PDF/A-1b to `path`: afterwards the file there is all of the report or,
// on failure, as it was before (nothing when there was none). `error` says why it failed.
bool write(QTextDocument &document, const QString &path, const QString &footer, QString *error);

// "<yyyy-MM-dd_HH-mm>_<serial>.pdf" in `folder`; a second report of the same minute and unit
// gets "_2", a third "_3".
QString freePath(const QString &folder, const QDateTime &when, const QString &serial);

}  // namespace ReportPdf

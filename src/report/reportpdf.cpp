#include "reportpdf.h"
#include "reportfont.h"
#include "reportpagination.h"
#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace ReportPdf {

namespace {
constexpr qreal FooterMm = 8;
}

QPageLayout pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 15, 15, 12),
                       QPageLayout::Millimeter);
}

bool paint(QTextDocument &document, QPagedPaintDevice &device, const QString &footer)
{
    // The layout measures the fonts on the device; set after the page size, 10 pt text would be
    // laid out for the screen and come out at about a third of its size.
    document.documentLayout()->setPaintDevice(&device);
    const int dpi = device.logicalDpiY();
    const QRect area = device.pageLayout().paintRectPixels(dpi);
    const qreal footerHeight = FooterMm / 25.4 * dpi;
    const QSizeF page(area.width(), area.height() - footerHeight);
    document.setPageSize(page);
    keepTablesWhole(document);

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device.newPage();
        const QRectF view(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        document.drawContents(&painter, view);
        painter.restore();
        painter.setFont(ReportFont::font(7.5));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, page.height(), page.width(), footerHeight), Qt::AlignLeft | Qt::AlignBottom, footer);
        painter.drawText(QRectF(0, page.height(), page.width(), footerHeight), Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("strana %1/%2").arg(i + 1).arg(pages));
    }
    return painter.end();
}

bool write(QTextDocument &document, const QString &path, const QString &footer, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator(QStringLiteral("Velkor"));
        writer.setResolution(600);
        writer.setPageLayout(pageLayout());
        painted = paint(document, writer, footer);
    }
    // A failed write may sit in the file's buffer until the flush; commit() alone would not notice
    // and rename a shortened file into place.
    if (!painted || !file.flush() || file.error() != QFileDevice::NoError) {
        *error = painted ? file.errorString() : QStringLiteral("PDF nelze vykreslit");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString freePath(const QString &folder, const QDateTime &when, const QString &serial)
{
    const QString base = when.toString(QStringLiteral("yyyy-MM-dd_HH-mm")) + QLatin1Char('_') + serial;
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString path = dir.filePath(base + (n > 1 ? QStringLiteral("_%1").arg(n) : QString()) + QStringLiteral(".pdf"));
        if (!QFileInfo::exists(path))
            return path;
    }
}

}  // namespace ReportPdf

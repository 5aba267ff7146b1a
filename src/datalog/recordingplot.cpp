#include "recordingplot.h"
#include "logformat.h"
#include "recording.h"
#include "recordingreader.h"
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>

QString recordingTitle(const QString &path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1, zaznamenáno %2")
        .arg(info.fileName(), LogFormat::startOf(info).toString(QStringLiteral("d. M. yyyy HH:mm:ss")));
}

QImage plotPicture(const Recording &recording, const PlotView &view, const PlotOverlay &overlay,
                   const QStringList &title, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font = QGuiApplication::font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QFontMetrics fm = painter.fontMetrics();
    const int head = int(title.size()) * fm.height() + 8;
    QFont bold = font;
    bold.setBold(true);
    for (int i = 0; i < title.size(); ++i) {
        painter.setFont(i == 0 ? bold : font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(8, 4 + i * fm.height(), size.width() - 16, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         title[i]);
    }
    painter.setFont(font);
    painter.translate(0, head);
    PlotDrawing::paint(painter, QSize(size.width(), std::max(1, size.height() - head)), recording, view, overlay);
    return image;
}

QImage renderRecordingPlot(const QString &csvPath, const QSize &size, QString *error)
{
    const RecordingRead read = readRecordingFile(csvPath);
    if (!read.usable() || read.recording.isEmpty()) {
        if (error)
            *error = read.error.isEmpty() ? QStringLiteral("Záznam neobsahuje žádný řádek.") : read.error;
        return {};
    }
    if (error)
        *error = read.error;
    PlotView view;
    view.fromMs = read.recording.firstMs();
    view.toMs = std::max(read.recording.lastMs(), view.fromMs + 1);
    return plotPicture(read.recording, view, {}, {recordingTitle(csvPath)}, size);
}

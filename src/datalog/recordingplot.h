#pragma once
#include "plotdrawing.h"
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class Recording;

// The plot as a picture, with what it shows written above it: for the PNG the page saves and for
// the service report. No widgets: a QGuiApplication is enough.

// "2026-12-07_14-57-17_Octavia.csv, zaznamenáno 7. 12. 2026 14:57:17": the name and when the
// recording began (from its name, or the file's time when the name does not say).
QString recordingTitle(const QString &path);
// The plot of `view` under the lines of `title`, `size` in all.
QImage plotPicture(const Recording &recording, const PlotView &view, const PlotOverlay &overlay,
                   const QStringList &title, const QSize &size);
// A recording file's whole plot in a picture of `size`; a null image when the file cannot be
// read (`error`, when given, says why and on which line).
QImage renderRecordingPlot(const QString &csvPath, const QSize &size, QString *error = nullptr);

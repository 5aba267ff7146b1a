#pragma once
#include <QFont>
#include <QString>

// The report's one font, DejaVu Sans, taken by its exact name and never left to whatever face the
// system substitutes for "Sans": its letters are what the PDF embeds, Czech marks included.
namespace ReportFont {

constexpr char Family[] = "DejaVu Sans";

// True when the font can be had: installed (Debian: fonts-dejavu-core) or beside the program in
// "fonts/". Looked for once per run.
bool available();
// The font at `points`; only meaningful when available().
QFont font(qreal points);
// What to tell the technician when it is missing.
QString missingText();

}  // namespace ReportFont

#pragma once
#include <QString>

// The one rule for a part of a file name made from what a technician or a unit named (a version
// name, a serial number): Windows, Linux and a shell all take it as it is.
//   - Czech letters lose their marks ("Škoda" -> "Skoda"); ASCII letters, digits, '.', '_' and
//     '-' stay; every other character (blank, '/', ':', '!', '"', …) becomes '-', and a run of
//     '-' becomes one;
//   - no leading or trailing '-' or '.' (Windows drops a trailing dot, a leading one hides the
//     file on Linux, a leading '-' reads as an option to a shell command);
//   - at most maxLength characters, cut before the end is cleaned.
// A part that is already safe comes back unchanged. Empty when nothing usable is left: the
// caller then leaves the part out or names the file otherwise.
QString safeFileNamePart(const QString &name, int maxLength = 40);

// The part for a set that names no version (one edited by hand): the same in every file name.
inline QString unversionedFileNamePart() { return QStringLiteral("Bez-verze"); }

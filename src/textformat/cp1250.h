#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Workshop PCs write the settings file, and a Czech spreadsheet saves a recording again, in the
// Central European ANSI code page.
// This decoder carries its own table because QStringDecoder only knows that code page
// when Qt was built with ICU, which the usual Windows builds are not.
QString decodeWindows1250(QByteArrayView bytes);

// Appends text in the code page; false when a character has no place in it.
bool encodeWindows1250(const QString &text, QByteArray *out);

#pragma once

#include <QByteArrayView>
#include <QString>

// The settings file is written by workshop PCs in the Central European ANSI code page.
// This decoder carries its own table because QStringDecoder only knows that code page
// when Qt was built with ICU, which the usual Windows builds are not.
QString decodeWindows1250(QByteArrayView bytes);

#pragma once
#include <QString>

class ScopeSamples;

// OUT.TX: one line "index;channel 1;channel 2;" with CR LF per sample. Written whole beside the
// old file and only then put in its place, so a failed export leaves the previous one intact.
bool writeScopeExport(const QString &path, const ScopeSamples &samples);

#pragma once
#include <QString>

// A recording's analysis as the history keeps it (JSON) in sentences: each range's findings in
// words, the ranges with too little data, the proposals. Keys it does not know are passed over;
// a text that is no analysis is shown as it is.
QString analysisSentences(const QString &kept);

#pragma once
#include <QString>

// A value from a file or a typed field as it may appear in a message: at most `maxChars`
// characters, then "…", with control characters shown as '?'. A whole damaged value (a
// megabyte pasted into one line) would freeze the message box, and a control character would
// be invisible or break the box's lines.
QString messageExcerpt(const QString &value, int maxChars = 80);

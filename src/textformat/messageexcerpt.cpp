#include "messageexcerpt.h"

QString messageExcerpt(const QString &value, int maxChars)
{
    qsizetype length = value.size();
    bool cut = false;
    if (length > maxChars) {
        length = maxChars;
        // Half a surrogate pair would show as a broken glyph.
        if (value.at(length - 1).isHighSurrogate())
            --length;
        cut = true;
    }
    QString shown = value.left(length);
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    if (cut)
        shown += u'…';
    return shown;
}

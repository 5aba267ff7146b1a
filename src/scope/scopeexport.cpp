#include "scopeexport.h"
#include "scopesamples.h"
#include <QSaveFile>

bool writeScopeExport(const QString &path, const ScopeSamples &samples)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    text.reserve(samples.count() * 16);
    for (int i = 0; i < samples.count(); ++i)
        text += QByteArray::number(i) + ';' + QByteArray::number(samples.channel1(i)) + ';'
            + QByteArray::number(samples.channel2(i)) + ";\r\n";
    // A full disk must not let commit() put a short file over a good one.
    if (file.write(text) != text.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

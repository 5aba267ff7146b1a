#include "portname.h"

qsizetype firstControlCharacter(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i).category() == QChar::Other_Control)
            return i;
    }
    return -1;
}

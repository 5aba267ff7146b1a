#include "byteedit.h"
#include "prompts/prompts.h"
#include <QLineEdit>

std::optional<int> readByteEdit(QLineEdit *edit, Prompts *prompts)
{
    bool ok = false;
    const qlonglong number = edit->text().trimmed().toLongLong(&ok);
    if (!ok) {
        edit->setText(QStringLiteral("0"));
        prompts->beep();
        return std::nullopt;
    }
    if (number > 255) {
        edit->setText(QStringLiteral("255"));
        return 255;
    }
    if (number < 0) {
        edit->setText(QStringLiteral("0"));
        return 0;
    }
    return int(number);
}

#include "historysql.h"
#include <QSqlError>
#include <QSqlQuery>

namespace HistorySql {

bool exec(QSqlDatabase db, const QString &sql, const QVariantList &values, QString *error)
{
    QSqlQuery q(db);
    bool ok = false;
    if (values.isEmpty()) {
        ok = q.exec(sql);
    } else if (q.prepare(sql)) {
        for (const QVariant &value : values)
            q.addBindValue(value);
        ok = q.exec();
    }
    if (!ok)
        *error = q.lastError().text().trimmed();
    return ok;
}

}  // namespace HistorySql

#include "czechfilecolumns.h"
#include <QFileSystemModel>
#include <QLocale>

namespace {
// The file system model's columns: name, size, type, date modified.
constexpr int SizeColumn = 1;
constexpr int DateColumn = 3;

QLocale czech()
{
    return QLocale(QLocale::Czech, QLocale::CzechRepublic);
}
}  // namespace

QVariant CzechFileColumns::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (role != Qt::DisplayRole || !files || (index.column() != SizeColumn && index.column() != DateColumn))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QFileInfo info = files->fileInfo(source);
    if (index.column() == DateColumn)
        return dateText(info.lastModified());
    // Folders show no size, as Qt has it.
    return files->isDir(source) ? QIdentityProxyModel::data(index, role) : QVariant(sizeText(info.size()));
}

QString CzechFileColumns::sizeText(qint64 bytes)
{
    if (bytes >= 1024)
        return czech().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    const char *unit = bytes == 1 ? "bajt" : bytes >= 2 && bytes <= 4 ? "bajty" : "bajtů";
    return czech().toString(bytes) + QLatin1Char(' ') + QString::fromUtf8(unit);
}

QString CzechFileColumns::dateText(const QDateTime &time)
{
    return czech().toString(time, QLocale::ShortFormat);
}

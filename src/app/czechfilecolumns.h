#pragma once
#include <QIdentityProxyModel>

// The size and date columns of Qt's own file dialog in Czech whatever the system's language: Qt
// writes them in the system's locale ("44 bytes", "7 Dec 2026 14:21"). Set on a dialog with
// QFileDialog::setProxyModel; a native dialog speaks the system's language and does not use it.
class CzechFileColumns : public QIdentityProxyModel
{
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // "1 bajt", "44 bajtů", "4,3 kB".
    static QString sizeText(qint64 bytes);
    // "07.12.26 14:21".
    static QString dateText(const QDateTime &time);
};

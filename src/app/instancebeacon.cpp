#include "instancebeacon.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
// A Unix socket's path holds at most this many bytes (sun_path, less its terminating zero).
constexpr int SocketPathLimit = 107;
}

InstanceBeacon::InstanceBeacon(const QString &name, QObject *parent)
    : QObject(parent), m_name(socketName(name, QDir::tempPath()))
{
}

QString InstanceBeacon::socketName(const QString &name, const QString &tempFolder)
{
#ifdef Q_OS_UNIX
    // Beside the lock in the temp folder, where that path fits; else a short path of its own in
    // /tmp, told apart by the temp folder it stands for, so that every copy started with the same
    // temp folder (and so the same lock) finds the same beacon.
    const QString beside = QDir(tempFolder).filePath(name);
    if (QFile::encodeName(beside).size() <= SocketPathLimit)
        return beside;
    const QByteArray folderHash =
        QCryptographicHash::hash(QFile::encodeName(QDir(tempFolder).absolutePath()), QCryptographicHash::Sha256);
    return QStringLiteral("/tmp/%1-%2").arg(name, QString::fromLatin1(folderHash.toHex().left(16)));
#else
    // A named pipe's name has room enough.
    Q_UNUSED(tempFolder)
    return name;
#endif
}

bool InstanceBeacon::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Only the holder of the single-instance lock gets here, so a socket of that name is stale.
    QLocalServer::removeServer(m_name);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromServer();
            emit showRequested();
        }
    });
    return m_server->listen(m_name);
}

bool InstanceBeacon::knock(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.disconnectFromServer();
    return true;
}

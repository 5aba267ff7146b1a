#include "instancebeacon.h"
#include <QLocalServer>
#include <QLocalSocket>

InstanceBeacon::InstanceBeacon(const QString &name, QObject *parent)
    : QObject(parent), m_name(name)
{
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

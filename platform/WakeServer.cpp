#include "WakeServer.h"

#include "WakeChannel.h"

#include <QLocalServer>
#include <QLocalSocket>

// A request is one short line; anything longer is not ours.
static constexpr qsizetype kMaxRequest = 64;

WakeServer::WakeServer(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &WakeServer::accept);
}

bool WakeServer::listen(const QString& caption)
{
    const QString path = WakeChannel::socketPath(caption);
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void WakeServer::close()
{
    m_server->close();
}

void WakeServer::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void WakeServer::readFrom(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequest)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(kMaxRequest);
    unsigned message = 0;
    qint64 wParam = 0, lParam = 0;
    if (!WakeChannel::parseRequest(line, &message, &wParam, &lParam)) {
        socket->abort();
        return;
    }
    emit messageReceived(message, wParam, lParam);
    socket->write("0\n");
    socket->flush();
    socket->disconnectFromServer();
}

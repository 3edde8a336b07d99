#include "WakeServer.h"

#include "WakeChannel.h"

#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// A request is one short line; anything longer is not ours.
static constexpr qsizetype kMaxRequest = 64;

WakeServer::WakeServer(QObject* parent) : QObject(parent) {}

WakeServer::~WakeServer()
{
    close();
}

bool WakeServer::listen(const QString& caption)
{
    close();
    const QString path = WakeChannel::socketPath(caption);
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ::unlink(name.constData());
    // Only this user may connect, from the moment the file exists.
    const mode_t mask = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::umask(mask);
    if (!bound || ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WakeServer::accept);
    return true;
}

void WakeServer::close()
{
    if (m_fd < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_fd);
    m_fd = -1;
    QFile::remove(m_path);
}

void WakeServer::accept()
{
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            serve(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            // Out of descriptors: the waiting connections stay queued until some are free.
            m_notifier->setEnabled(false);
            QTimer::singleShot(RetryAcceptMs, this, [this] {
                if (!m_notifier)
                    return;
                m_notifier->setEnabled(true);
                accept();
            });
        }
        return; // EAGAIN: none left; anything else: try again on the next one
    }
}

void WakeServer::serve(int fd)
{
    auto* socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
        ::close(fd);
        delete socket;
        return;
    }
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
    QTimer::singleShot(IdleTimeoutMs, socket, [socket] { socket->abort(); });
    if (socket->bytesAvailable() > 0)
        readFrom(socket);
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

#include "WakeChannel.h"

#include "AppPaths.h"

#include <QElapsedTimer>
#include <QList>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace WakeChannel {

QString socketPath(const QString& caption)
{
    return AppPaths::runtimeFile(caption + QStringLiteral(".sock"));
}

bool parseRequest(const QByteArray& line, unsigned* message, qint64* wParam, qint64* lParam)
{
    const QList<QByteArray> parts = line.trimmed().split(' ');
    if (parts.size() != 3)
        return false;
    bool ok1 = false, ok2 = false, ok3 = false;
    const uint m = parts[0].toUInt(&ok1);
    const qint64 w = parts[1].toLongLong(&ok2);
    const qint64 l = parts[2].toLongLong(&ok3);
    if (!(ok1 && ok2 && ok3))
        return false;
    *message = m;
    *wParam = w;
    *lParam = l;
    return true;
}

QByteArray formatRequest(unsigned message, qint64 wParam, qint64 lParam)
{
    return QByteArray::number(message) + ' ' + QByteArray::number(wParam) + ' ' +
           QByteArray::number(lParam) + '\n';
}

namespace {

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool waitFor(int fd, short events, QElapsedTimer& clock, int timeoutMs)
{
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd p{fd, events, 0};
        const int rc = ::poll(&p, 1, int(left));
        if (rc > 0)
            return true;
        if (rc < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

SendResult sendMessage(const QString& caption, unsigned message, qint64 wParam, qint64 lParam,
                       int timeoutMs)
{
    const QByteArray path = socketPath(caption).toLocal8Bit();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof(addr.sun_path)))
        return SendResult::NoWindow;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));

    Fd sock(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (sock.get() < 0)
        return SendResult::NoWindow;
    int rc;
    do {
        rc = ::connect(sock.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr));
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return SendResult::NoWindow; // no socket, or a stale one nobody listens on

    QElapsedTimer clock;
    clock.start();
    const QByteArray request = formatRequest(message, wParam, lParam);
    qsizetype sent = 0;
    while (sent < request.size()) {
        if (!waitFor(sock.get(), POLLOUT, clock, timeoutMs))
            return SendResult::NoReply;
        const ssize_t n = ::send(sock.get(), request.constData() + sent,
                                 size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return SendResult::NoReply;
        sent += n;
    }

    QByteArray reply;
    while (!reply.contains('\n')) {
        if (!waitFor(sock.get(), POLLIN, clock, timeoutMs))
            return SendResult::NoReply;
        char buf[64];
        const ssize_t n = ::recv(sock.get(), buf, sizeof(buf), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return SendResult::NoReply;
        reply.append(buf, n);
    }
    return SendResult::Handled;
}

} // namespace WakeChannel

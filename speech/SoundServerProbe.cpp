#include "SoundServerProbe.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool canConnectUnix(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

bool canConnectTcp(const QString& hostAndPort)
{
    QString host = hostAndPort;
    quint16 port = 4713;
    // "[v6 address]:port", "name:port" or a bare name.
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0)
            return false;
        const QString rest = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (rest.startsWith(u':'))
            port = quint16(rest.mid(1).toUInt());
    } else if (host.count(u':') == 1) {
        port = quint16(host.section(u':', 1).toUInt());
        host = host.section(u':', 0, 0);
    }
    if (host.isEmpty() || port == 0)
        return false;
    QTcpSocket socket;
    socket.connectToHost(host, port);
    return socket.waitForConnected(1000);
}

// A server named in a client.conf that libpulse reads.
bool clientConfNamesServer()
{
    QStringList files;
    const QString configHome =
        qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
    files << configHome + QStringLiteral("/pulse/client.conf")
          << QStringLiteral("/etc/pulse/client.conf");
    const QDir confD(QStringLiteral("/etc/pulse/client.conf.d"));
    for (const QString& name : confD.entryList({QStringLiteral("*.conf")}, QDir::Files))
        files << confD.filePath(name);
    static const QRegularExpression line(QStringLiteral("^\\s*default-server\\s*="),
                                         QRegularExpression::MultilineOption);
    for (const QString& path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(line))
            return true;
    }
    return false;
}

} // namespace

bool SoundServerProbe::canConnect(const QString& server)
{
    QString address = server.trimmed();
    if (address.startsWith(u'{')) {
        const qsizetype close = address.indexOf(u'}');
        if (close < 0)
            return false;
        address = address.mid(close + 1);
    }
    if (address.startsWith(QLatin1String("unix:")))
        return canConnectUnix(address.mid(5));
    if (address.startsWith(u'/'))
        return canConnectUnix(address);
    for (const char* prefix : {"tcp:", "tcp4:", "tcp6:"}) {
        if (address.startsWith(QLatin1String(prefix)))
            return canConnectTcp(address.mid(qsizetype(strlen(prefix))));
    }
    return canConnectTcp(address);
}

QString SoundServerProbe::unreachableReason()
{
    const QString named = qEnvironmentVariable("PULSE_SERVER").trimmed();
    if (!named.isEmpty()) {
        for (const QString& server : named.split(u' ', Qt::SkipEmptyParts)) {
            if (canConnect(server))
                return {};
        }
        return QStringLiteral("No audio output device: the sound server \"%1\" (PULSE_SERVER) "
                              "cannot be reached.")
            .arg(named);
    }

    QString runtime = qEnvironmentVariable("PULSE_RUNTIME_PATH");
    if (runtime.isEmpty() && qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        runtime = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse");
    if (!runtime.isEmpty() && canConnectUnix(runtime + QStringLiteral("/native")))
        return {};
    if (canConnectUnix(QStringLiteral("/run/pulse/native")) ||
        canConnectUnix(QStringLiteral("/var/run/pulse/native")))
        return {};
    if (qEnvironmentVariableIsSet("DISPLAY") || clientConfNamesServer())
        return {};
    return QStringLiteral("No audio output device: no sound server (PulseAudio or PipeWire) "
                          "is running.");
}

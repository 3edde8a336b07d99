#include "InstanceLock.h"

#include "AppPaths.h"

#include <QFile>
#include <QList>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

InstanceLock::InstanceLock(const QString& name)
    : m_path(AppPaths::runtimeFile(name + QStringLiteral(".lock")))
{
    const QByteArray path = m_path.toLocal8Bit();
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return; // cannot tell: run as the first copy
    int rc;
    do {
        rc = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EWOULDBLOCK)
        m_alreadyExists = true;
    else if (rc != 0)
        release(); // locking not supported here: run as the first copy
}

InstanceLock::~InstanceLock()
{
    release();
}

void InstanceLock::release()
{
    if (m_fd < 0)
        return;
    if (!m_alreadyExists)
        ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

qint64 InstanceLock::holderIn(const QByteArray& table, quint32 major, quint32 minor, quint64 inode)
{
    // "1: FLOCK  ADVISORY  WRITE 4242 fd:01:1234 0 EOF"; a waiter's line starts "1: -> ".
    const QByteArray file = QByteArray::number(major, 16).rightJustified(2, '0') + ':' +
                            QByteArray::number(minor, 16).rightJustified(2, '0') + ':' +
                            QByteArray::number(inode);
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 6 && f[1] == "FLOCK" && f[5] == file)
            return f[4].toLongLong();
    }
    return 0;
}

qint64 InstanceLock::holder() const
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
        return 0;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    return holderIn(locks.readAll(), ::major(info.st_dev), ::minor(info.st_dev),
                    quint64(info.st_ino));
}

#include "InstanceLock.h"

#include "AppPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
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

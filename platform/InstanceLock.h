#pragma once

#include <QString>

// The per-user instance lock: a file in the runtime directory held with flock() from start to
// exit. The kernel drops the lock when the process ends, however it ends.
class InstanceLock
{
public:
    explicit InstanceLock(const QString& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another process holds the lock: this is a second copy.
    bool alreadyExists() const { return m_alreadyExists; }
    // True when this process holds the lock. False in a second copy, and also when the lock
    // file could not be opened at all, in which case the program runs as the first copy.
    bool owned() const { return m_fd >= 0 && !m_alreadyExists; }
    const QString& path() const { return m_path; }
    // The process holding the lock file (from /proc/locks), 0 when it cannot be told.
    qint64 holder() const;
    // The holder's line in /proc/locks `table` for the file with this device and inode.
    static qint64 holderIn(const QByteArray& table, quint32 major, quint32 minor, quint64 inode);

    // Gives the lock up; a second call, or a call in a copy that never held it, does nothing.
    void release();

private:
    QString m_path;
    int m_fd = -1;
    bool m_alreadyExists = false;
};

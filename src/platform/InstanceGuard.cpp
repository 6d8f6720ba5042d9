#include "platform/InstanceGuard.h"

#include <QDir>
#include <unistd.h>

InstanceGuard::InstanceGuard(const QString& key)
    : lock_(std::make_unique<QLockFile>(QDir::temp().filePath(key + QStringLiteral(".lock")))) {
    lock_->setStaleLockTime(0);
}

QString InstanceGuard::DefaultKey() { return QStringLiteral("qdr318-manager-%1").arg(::getuid()); }

bool InstanceGuard::acquire() { return lock_->isLocked() || lock_->tryLock(0); }

void InstanceGuard::release() { lock_->unlock(); }

qint64 InstanceGuard::holder() const {
    qint64 pid = 0;
    QString host, app;
    return lock_->getLockInfo(&pid, &host, &app) ? pid : 0;
}

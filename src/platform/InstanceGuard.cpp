#include "platform/InstanceGuard.h"

#include <QDir>

InstanceGuard::InstanceGuard(const QString& key)
    : lock_(std::make_unique<QLockFile>(QDir::temp().filePath(key + QStringLiteral(".lock")))) {
    lock_->setStaleLockTime(0);
}

QString InstanceGuard::DefaultKey() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return QStringLiteral("qdr318-manager-") + user;
}

bool InstanceGuard::acquire() { return lock_->isLocked() || lock_->tryLock(0); }

void InstanceGuard::release() { lock_->unlock(); }

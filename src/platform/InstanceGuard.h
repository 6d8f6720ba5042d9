#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Refuses a second running copy of the program for the same user: the first
// copy holds a lock file in the temporary folder for its whole run; a
// crashed copy's stale lock is taken over.
class InstanceGuard {
public:
    // key names the lock; the program uses DefaultKey(), tests their own.
    explicit InstanceGuard(const QString& key);
    // Named after the numeric user id, which every process of the user
    // knows, whatever its environment says.
    static QString DefaultKey();

    // True when this process now holds the lock (or already did).
    bool acquire();
    void release();
    // The process recorded as holding the lock, found without taking it;
    // 0 when there is none.
    qint64 holder() const;

private:
    std::unique_ptr<QLockFile> lock_;
};

#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Refuses a second running copy of the program for the same user: the first
// copy holds a lock file for its whole run; a crashed copy's stale lock is
// taken over.
class InstanceGuard {
public:
    // key names the lock; the program uses DefaultKey(), tests their own.
    explicit InstanceGuard(const QString& key);
    static QString DefaultKey();

    // True when this process now holds the lock (or already did).
    bool acquire();
    void release();

private:
    std::unique_ptr<QLockFile> lock_;
};

#include "platform/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// The target keeps its permissions; a new file gets the usual ones.
mode_t ModeFor(const QByteArray& target) {
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void RemoveLeftovers(const QFileInfo& target) {
    const QDir folder = target.absoluteDir();
    const QRegularExpression own(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(target.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names)
        if (own.match(name).hasMatch())
            QFile::remove(folder.filePath(name));
}

} // namespace

bool ReplaceFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    QByteArray temp = targetName + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, ModeFor(targetName)) == 0 &&
                         WriteAll(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.constData(), targetName.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    SyncFolder(target.absolutePath());
    RemoveLeftovers(target);
    return true;
}

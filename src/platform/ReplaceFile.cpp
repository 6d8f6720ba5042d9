#include "platform/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
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

constexpr int TempLetters = 6;

// A temporary file is hidden and marked as this program's, so that no file
// a user keeps beside the target (a copy named "Hall.vnf.backup", say) is
// ever taken for one.
QString TempPrefix(const QString& targetName) {
    return QLatin1Char('.') + targetName + QStringLiteral(".qdr-");
}

// A new file in folder named after the target with six random letters or
// digits after it, opened for writing; -1 when none could be made.
int CreateTemp(const QString& folder, const QString& targetName, QByteArray& temp) {
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const QByteArray prefix = QFile::encodeName(folder + QLatin1Char('/') + TempPrefix(targetName));
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = prefix;
        for (int i = 0; i < TempLetters; ++i)
            temp += Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)];
        // The usual permissions of a new file: the process's umask applies.
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A file written over keeps its permissions.
bool KeepMode(int fd, const QByteArray& target) {
    struct stat st {};
    return ::stat(target.constData(), &st) != 0 || ::fchmod(fd, st.st_mode & 07777) == 0;
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
        QRegularExpression::anchoredPattern(QRegularExpression::escape(TempPrefix(target.fileName())) +
                                            QStringLiteral("[A-Za-z0-9]{%1}").arg(TempLetters)));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names)
        if (own.match(name).hasMatch())
            QFile::remove(folder.filePath(name));
}

} // namespace

bool ReplaceFile(const QString& path, const QByteArray& bytes) {
    QFileInfo target(path);
    // Through a link, the file it names is written.
    if (target.isSymLink())
        target = QFileInfo(target.symLinkTarget());
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    QByteArray temp;
    const int fd = CreateTemp(target.absolutePath(), target.fileName(), temp);
    if (fd < 0)
        return false;
    const bool written = KeepMode(fd, targetName) &&
                         WriteAll(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) &&
                         ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.constData(), targetName.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    SyncFolder(target.absolutePath());
    RemoveLeftovers(target);
    return true;
}

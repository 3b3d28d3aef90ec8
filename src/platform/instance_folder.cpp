#include "platform/instance_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int maxSlots = 64;

// A folder we may keep private files in: a real directory (not a link), owned by us,
// closed to everybody else. Creates it when missing.
bool ensurePrivateDir(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return false;
    return true;
}

bool usableRuntimeDir(const QByteArray& dir) {
    struct stat st {};
    return !dir.isEmpty() && ::stat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 0077) == 0 &&
           ::access(dir.constData(), W_OK) == 0;
}

} // namespace

QString InstanceFolder::defaultBase() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (usableRuntimeDir(runtime))
        return QFile::decodeName(runtime) + QStringLiteral("/picreel");
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    QDir().mkpath(cache);
    return cache + QStringLiteral("/picreel");
}

std::unique_ptr<InstanceFolder> InstanceFolder::claim(const QString& base) {
    if (!ensurePrivateDir(base))
        return nullptr;
    for (int slot = 0; slot < maxSlots; ++slot) {
        const QString slotPath = base + QLatin1Char('/') + QString::number(slot);
        const QByteArray lockName = QFile::encodeName(slotPath + QStringLiteral(".lock"));
        const int fd =
            ::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        if (ensurePrivateDir(slotPath) && ensurePrivateDir(slotPath + QStringLiteral("/TEMP"))) {
            // The slot is ours now: what a copy that ended without tidying up left is old.
            QDir temp(slotPath + QStringLiteral("/TEMP"));
            for (const QString& name : temp.entryList(QDir::Files | QDir::Hidden | QDir::System))
                temp.remove(name);
            return std::unique_ptr<InstanceFolder>(new InstanceFolder(slotPath, fd));
        }
        ::close(fd);
    }
    return nullptr;
}

InstanceFolder::~InstanceFolder() {
    ::close(lockFd_);
}

} // namespace platform

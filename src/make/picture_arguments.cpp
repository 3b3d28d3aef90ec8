#include "make/picture_arguments.h"

#include "make/byte_names.h"
#include "paths/byte_names.h"
#include "paths/natural_order.h"
#include "picture/picture_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace make {

namespace {

[[noreturn]] void unreadableName(const QByteArray& name) {
    throw picture::PictureError(picture::PictureError::Kind::ReadFailed, notCarriedReason(name));
}

constexpr qsizetype longestPath = 64 * 1024;

// Grows the list, refusing to go past mostPictures.
class PictureList {
public:
    explicit PictureList(const std::function<bool()>& interrupted) : interrupted_(interrupted) {}

    void add(const QString& argument) {
        checkInterrupt();
        if (!QFileInfo(argument).isDir()) {
            pictures_ += argument;
        } else {
            if (const auto name = firstUncarriedPicture(argument))
                unreadableName(*name);
            pictures_ += picturesOfFolder(argument);
        }
        if (pictures_.size() > mostPictures)
            stop(ListingStopped::Why::TooMany,
                 QStringLiteral("more than %1 pictures; one run takes at most that many")
                     .arg(mostPictures));
    }
    void checkInterrupt() {
        if (interrupted_())
            stop(ListingStopped::Why::Interrupted,
                 QStringLiteral("interrupted; nothing was written"));
    }
    [[noreturn]] static void stop(ListingStopped::Why why, const QString& message) {
        throw ListingStopped{why, message};
    }
    QStringList take() { return std::move(pictures_); }

private:
    const std::function<bool()>& interrupted_;
    QStringList pictures_;
};

[[noreturn]] void unreadable(const QString& file, const QString& reason) {
    throw picture::PictureError(picture::PictureError::Kind::ReadFailed,
                                file + QStringLiteral(": ") + reason);
}

// Reads the list file record by record. Waiting for input is done in short polls, so that an
// interrupt is seen at once even while nothing arrives on a pipe or terminal.
void readList(const ListSource& source, PictureList& list) {
    const bool standard = source.file == QStringLiteral("-");
    const int fd = standard
                       ? ::fileno(source.standardInput)
                       : ::open(QFile::encodeName(source.file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        unreadable(source.file, QString::fromLocal8Bit(std::strerror(errno)));
    struct Closer {
        int fd;
        bool owned;
        ~Closer() {
            if (owned)
                ::close(fd);
        }
    } closer{fd, !standard};

    const char end = source.nulSeparated ? '\0' : '\n';
    const auto take = [&](QByteArray record) {
        if (!source.nulSeparated) {
            if (record.endsWith('\r'))
                record.chop(1);
            if (record.trimmed().isEmpty())
                return;
        } else if (record.isEmpty()) {
            return;
        }
        if (!paths::carriesAsText(record))
            unreadableName(record);
        list.add(QFile::decodeName(record));
    };
    QByteArray pending;
    char buffer[64 * 1024];
    for (;;) {
        list.checkInterrupt();
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, 100) == 0 || (wait.revents == 0))
            continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0)
            unreadable(source.file, QString::fromLocal8Bit(std::strerror(errno)));
        if (n == 0)
            break;
        // A path never holds a NUL, and no path is as long as longestPath: such input is no
        // list of paths, and reading on would only fill the memory.
        if (!source.nulSeparated && std::memchr(buffer, '\0', std::size_t(n)))
            PictureList::stop(ListingStopped::Why::NotAList,
                              QStringLiteral("%1 has a NUL byte in a line; --null reads a list "
                                             "of NUL-separated paths")
                                  .arg(source.file));
        pending.append(buffer, qsizetype(n));
        qsizetype start = 0;
        for (qsizetype at; (at = pending.indexOf(end, start)) >= 0; start = at + 1)
            take(pending.mid(start, at - start));
        pending.remove(0, start);
        if (pending.size() > longestPath)
            PictureList::stop(ListingStopped::Why::NotAList,
                              QStringLiteral("%1 has a path of over %2 bytes; it is no list of "
                                             "paths")
                                  .arg(source.file)
                                  .arg(longestPath));
    }
    take(pending);
}

} // namespace

QStringList picturesOfFolder(const QString& folder) {
    QDir dir(folder);
    QStringList names = dir.entryList(
        {"*.bmp", "*.jpg", "*.jpeg", "*.gif", "*.png", "*.webp", "*.tif", "*.tiff"}, QDir::Files);
    std::sort(names.begin(), names.end(), paths::naturalLess);
    QStringList paths;
    for (const QString& name : names)
        paths.append(dir.filePath(name));
    return paths;
}

QStringList expandPictureArguments(const QStringList& arguments, const ListSource& list,
                                   const std::function<bool()>& interrupted) {
    PictureList pictures(interrupted);
    for (const QString& argument : arguments)
        pictures.add(argument);
    if (!list.file.isEmpty())
        readList(list, pictures);
    return pictures.take();
}

} // namespace make

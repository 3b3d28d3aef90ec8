#include "job/staged_output.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace job {

namespace {

// A copy of the path of the file being written, readable from a signal handler.
char unfinished[4096 + 256];

void setUnfinished(const QByteArray& path) {
    unfinished[0] = '\0'; // a handler sees no path while the rest changes
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof unfinished)
        return;
    std::memcpy(unfinished + 1, path.constData() + 1, std::size_t(path.size()));
    unfinished[0] = path[0];
}

// Room for the mark and the random part within a file name's 255 bytes.
constexpr qsizetype longestKeptName = 200;

QByteArray randomPart() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray part;
    for (int i = 0; i < 6; ++i)
        part += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return part;
}

} // namespace

StagedOutput::StagedOutput(const QString& target) {
    // A link is followed: the video goes where the link points, and the link stays.
    const QFileInfo info(target);
    const QString resolved = info.isSymLink() ? info.canonicalFilePath() : QString();
    target_ = QFile::encodeName(resolved.isEmpty() ? target : resolved);
    const qsizetype slash = target_.lastIndexOf('/');
    const QByteArray folder = target_.left(slash + 1);
    const QByteArray name = target_.mid(slash + 1).left(longestKeptName);
    path_ = folder + '.' + name + unfinishedMark + randomPart();
    setUnfinished(path_);
}

StagedOutput::~StagedOutput() {
    setUnfinished({});
    if (!placed_)
        ::unlink(path_.constData());
}

const char* StagedOutput::unfinishedNow() {
    return unfinished;
}

void StagedOutput::startAfresh() {
    ::unlink(path_.constData());
}

bool StagedOutput::putInPlace() {
    struct stat old {};
    if (::stat(target_.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(path_.constData(), old.st_mode & 07777);
    if (std::rename(path_.constData(), target_.constData()) != 0)
        return false;
    placed_ = true;
    setUnfinished({});
    return true;
}

} // namespace job

#include "picture/file_stamp.h"

#include <QFile>
#include <sys/stat.h>

namespace picture {

std::optional<FileStamp> StampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& t) {
        return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
    };
    return FileStamp{st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

} // namespace picture

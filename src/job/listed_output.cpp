#include "job/listed_output.h"

#include <QFile>

#include <sys/stat.h>

namespace job {

namespace {

std::optional<std::pair<dev_t, ino_t>> identityOf(const QString& path) {
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::pair{st.st_dev, st.st_ino};
}

} // namespace

std::optional<int> listedPictureAt(const QString& output, const QStringList& pictures) {
    const auto out = identityOf(output);
    if (!out)
        return std::nullopt;
    for (int i = 0; i < pictures.size(); ++i)
        if (identityOf(pictures[i]) == out)
            return i;
    return std::nullopt;
}

} // namespace job

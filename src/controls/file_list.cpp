#include "controls/file_list.h"

#include "paths/byte_names.h"
#include "paths/natural_order.h"

#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace controls {

FileList::FileList(QWidget* parent) : ClassicList(parent) {
    setPattern(QStringLiteral("*.*"));
    setDragDropMode(QAbstractItemView::DragOnly);
}

void FileList::startDrag(Qt::DropActions /*supportedActions*/) {
    if (ListIndex() == -1)
        return;
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QDir(path_).filePath(FileName()))});
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    // Never a move: a file dragged out of the list stays where it is.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern;
    filters_.clear();
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        filters_.append(QRegularExpression::fromWildcard(
            part.trimmed(), Qt::CaseInsensitive, QRegularExpression::DefaultWildcardConversion));
    }
    if (!path_.isEmpty())
        Refresh();
}

bool FileList::matches(const QString& name) const {
    return std::any_of(filters_.cbegin(), filters_.cend(),
                       [&](const QRegularExpression& re) { return re.match(name).hasMatch(); });
}

std::optional<QStringList> FileList::matchingFiles(const QString& folder) const {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return std::nullopt;
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::NoDotAndDotDot);
    QStringList names;
    for (const QString& name : dir.entryList())
        if (matches(name))
            names.append(name);
    std::sort(names.begin(), names.end(), paths::naturalLess);
    return names;
}

QStringList FileList::unlistedNames(const QString& folder) const {
    // Qt's listing turns such a name into another one, which then names no file, and leaves
    // it out; only the bytes tell what is there.
    QStringList names;
    const QByteArray path = QFile::encodeName(folder);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.constData()), &::closedir);
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        struct stat st {};
        if (!paths::carriesAsText(name) && matches(QFile::decodeName(name)) &&
            ::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names.append(paths::shownName(name));
    }
    return names;
}

bool FileList::readFolder(const QString& folder) {
    const std::optional<QStringList> names = matchingFiles(folder);
    if (!names)
        return false;
    quietly([&] {
        clear();
        addItems(*names);
    });
    selectQuietly(-1);
    return true;
}

bool FileList::setPath(const QString& folder) {
    if (!readFolder(folder))
        return false;
    path_ = folder;
    emit PathChange();
    return true;
}

bool FileList::Refresh() {
    return readFolder(path_);
}

} // namespace controls

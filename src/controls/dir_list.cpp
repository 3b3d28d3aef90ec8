#include "controls/dir_list.h"

#include "controls/drive_list.h"
#include "paths/natural_order.h"
#include "platform/platform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

namespace controls {

namespace {
constexpr int pathRole = Qt::UserRole;

QString volumeRoot(const QString& path) {
    const QString root = volumeRootOf(path, platform::current().volumes());
    return root.isEmpty() ? QDir::rootPath() : root;
}
} // namespace

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openRow(row(item)); });
}

bool DirList::setPath(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return false;
    const QString target = QDir::cleanPath(info.absoluteFilePath());
    if (target == path_)
        return true;
    path_ = target;
    lastFolderOfVolume_.insert(volumeRoot(path_), path_);
    fill();
    emit Change();
    return true;
}

bool DirList::openVolume(const QString& entry) {
    const QString root = volumeRootOf(entry, platform::current().volumes());
    if (root.isEmpty())
        return setPath(entry);
    // A folder deleted since it was last open must not keep the whole volume shut.
    const QString last = lastFolderOfVolume_.value(root);
    if (!last.isEmpty() && setPath(last))
        return true;
    lastFolderOfVolume_.remove(root);
    return setPath(root);
}

void DirList::fill() {
    clear();
    const QString root = volumeRoot(path_);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // Ancestors: the root, then each folder down to the open one.
    QStringList chain;
    for (QString p = path_; !p.isEmpty();) {
        chain.prepend(p);
        if (p.size() <= root.size() || p == QDir::rootPath())
            break;
        const QString up = QFileInfo(p).path();
        if (up == p)
            break;
        p = up;
    }
    int depth = 0;
    for (const QString& p : chain) {
        const QString name = depth == 0 ? p : QFileInfo(p).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, u' ') + name, this);
        item->setData(pathRole, p);
        ++depth;
    }
    const int current = count() - 1;

    QStringList subfolders = QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(subfolders.begin(), subfolders.end(), paths::naturalLess);
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, u' ') + name, this);
        item->setData(pathRole, QDir(path_).filePath(name));
    }
    setCurrentRow(current);
}

void DirList::openRow(int row) {
    if (QListWidgetItem* it = item(row))
        setPath(it->data(pathRole).toString());
}

void DirList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openRow(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace controls

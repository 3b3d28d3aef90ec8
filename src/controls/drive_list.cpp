#include "controls/drive_list.h"

#include "platform/platform.h"

#include <QDir>

namespace controls {

QString DriveList::entryText(const platform::Volume& volume) {
    return volume.name.isEmpty() ? volume.rootPath
                                 : volume.rootPath + QStringLiteral(" [") + volume.name + u']';
}

QString volumeRootOf(const QString& pathOrEntry, const QList<platform::Volume>& volumes) {
    QString best;
    for (const platform::Volume& v : volumes) {
        if (pathOrEntry == DriveList::entryText(v))
            return v.rootPath;
        const QString root = v.rootPath;
        const QString bare = root.size() > 1 ? root.left(root.size() - 1) : root;
        const bool inside = pathOrEntry == bare || pathOrEntry.startsWith(root);
        if (inside && root.size() > best.size())
            best = root;
    }
    return best;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!settingDrive_)
            emit Change();
    });
}

void DriveList::Refresh() {
    const QString current = rootPath();
    settingDrive_ = true;
    volumes_ = platform::current().volumes();
    clear();
    for (const platform::Volume& v : volumes_)
        addItem(entryText(v));
    const int index = indexHolding(current.isEmpty() ? QDir::currentPath() : current);
    setCurrentIndex(index < 0 ? 0 : index);
    settingDrive_ = false;
}

int DriveList::indexHolding(const QString& path) const {
    const QString root = volumeRootOf(QDir::toNativeSeparators(path), volumes_);
    for (int i = 0; i < volumes_.size(); ++i)
        if (volumes_[i].rootPath == root)
            return i;
    return -1;
}

void DriveList::setDrive(const QString& path) {
    const int index = indexHolding(path);
    if (index >= 0 && index != currentIndex())
        setCurrentIndex(index); // raises Change
}

QString DriveList::rootPath() const {
    const int i = currentIndex();
    return i >= 0 && i < volumes_.size() ? volumes_[i].rootPath : QString();
}

bool DriveList::isReady() const {
    const int i = currentIndex();
    return i >= 0 && i < volumes_.size() && volumes_[i].ready;
}

} // namespace controls

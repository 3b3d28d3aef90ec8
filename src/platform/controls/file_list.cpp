#include "platform/controls/file_list.h"

#include "platform/controls/natural_order.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>

#include <algorithm>

namespace controls {

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setPattern(QStringLiteral("*.*"));
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!settingIndex_)
            emit Click();
    });
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

bool FileList::readFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::NoDotAndDotDot);
    QStringList names;
    for (const QString& name : dir.entryList())
        if (matches(name))
            names.append(name);
    std::sort(names.begin(), names.end(), naturalLess);

    settingIndex_ = true;
    clear();
    addItems(names);
    setCurrentRow(-1);
    settingIndex_ = false;
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

int FileList::ListIndex() const {
    const int row = currentRow();
    return row >= 0 && item(row)->isSelected() ? row : -1;
}

void FileList::setListIndex(int index) {
    settingIndex_ = true;
    if (index >= 0 && index < count()) {
        setCurrentRow(index);
        scrollToItem(item(index));
    } else {
        setCurrentRow(-1);
        clearSelection();
    }
    settingIndex_ = false;
    emit Click();
}

QString FileList::List(int index) const {
    return index >= 0 && index < count() ? item(index)->text() : QString();
}

void FileList::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(classicMouseArgs(event));
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
}

void FileList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

} // namespace controls

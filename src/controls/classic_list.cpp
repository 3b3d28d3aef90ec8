#include "controls/classic_list.h"

#include <QMouseEvent>

namespace controls {

ClassicList::ClassicList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!quiet_)
            emit Click();
    });
}

int ClassicList::ListIndex() const {
    const int row = currentRow();
    return row >= 0 && item(row)->isSelected() ? row : -1;
}

void ClassicList::setListIndex(int index) {
    selectQuietly(index);
    emit Click();
}

QString ClassicList::List(int index) const {
    return index >= 0 && index < count() ? item(index)->text() : QString();
}

void ClassicList::selectQuietly(int index) {
    quietly([&] {
        if (index >= 0 && index < count()) {
            setCurrentRow(index);
            scrollToItem(item(index));
        } else {
            setCurrentRow(-1);
            clearSelection();
        }
    });
}

void ClassicList::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(classicMouseArgs(event));
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
}

void ClassicList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

} // namespace controls

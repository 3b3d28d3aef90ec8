#include "controls/classic_list.h"

#include <QMouseEvent>

namespace controls {

ClassicList::ClassicList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    // The view makes a pressed row current before it selects it, and a key selects before
    // the row becomes current: only the selection itself is settled when it announces a change.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ClassicList::selectionMoved);
}

int ClassicList::ListIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ClassicList::selectionMoved() {
    if (!quiet_)
        emit Click();
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

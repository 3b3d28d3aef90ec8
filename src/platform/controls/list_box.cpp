#include "platform/controls/list_box.h"

#include <QMouseEvent>

namespace controls {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!settingIndex_)
            emit Click();
    });
}

int ListBox::ListIndex() const {
    const int row = currentRow();
    return row >= 0 && item(row)->isSelected() ? row : -1;
}

void ListBox::setListIndex(int index) {
    settingIndex_ = true;
    select(index);
    settingIndex_ = false;
    emit Click();
}

QString ListBox::List(int index) const {
    return index >= 0 && index < count() ? item(index)->text() : QString();
}

// Inserting and removing keep the same entry selected (its index moves with it); removing
// the selected entry leaves no selection. None of this raises Click.
void ListBox::AddItem(const QString& text, int index) {
    const int selected = ListIndex();
    if (index < 0 || index > count())
        index = count();
    settingIndex_ = true;
    insertItem(index, text);
    select(selected >= index && selected >= 0 ? selected + 1 : selected);
    settingIndex_ = false;
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= count())
        return;
    const int selected = ListIndex();
    settingIndex_ = true;
    delete takeItem(index);
    select(selected == index ? -1 : selected > index ? selected - 1 : selected);
    settingIndex_ = false;
}

void ListBox::select(int index) {
    if (index >= 0 && index < count()) {
        setCurrentRow(index);
        scrollToItem(item(index));
    } else {
        setCurrentRow(-1);
        clearSelection();
    }
}

void ListBox::Clear() {
    settingIndex_ = true;
    clear();
    settingIndex_ = false;
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(classicMouseArgs(event));
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

} // namespace controls

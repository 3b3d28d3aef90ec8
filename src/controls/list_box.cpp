#include "controls/list_box.h"

namespace controls {

void ListBox::AddItem(const QString& text, int index) {
    const int selected = ListIndex();
    if (index < 0 || index > count())
        index = count();
    quietly([&] { insertItem(index, text); });
    selectQuietly(selected >= index && selected >= 0 ? selected + 1 : selected);
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= count())
        return;
    const int selected = ListIndex();
    quietly([&] { delete takeItem(index); });
    selectQuietly(selected == index ? -1 : selected > index ? selected - 1 : selected);
}

void ListBox::Clear() {
    quietly([&] { clear(); });
}

void ListBox::Refresh() {
    executeDelayedItemsLayout();
    repaint();
}

} // namespace controls

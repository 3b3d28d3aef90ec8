#pragma once

#include "controls/classic_list.h"

namespace controls {

// The classic list box: an unsorted list of texts. Inserting and removing keep the same
// entry selected (its index moves with it); removing the selected entry leaves none.
class ListBox : public ClassicList {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr) : ClassicList(parent) {}

    QString Text() const { return List(ListIndex()); }

    void AddItem(const QString& text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    // Repaints now, entries added since the last paint included, without the event loop
    // (the view otherwise lays new rows out only when the loop next runs).
    void Refresh();
};

} // namespace controls

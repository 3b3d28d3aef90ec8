#pragma once

#include "controls/mouse_args.h"

#include <QListWidget>

namespace controls {

// What the classic list controls share: one selected row at most, ListIndex -1 when none,
// and a right or middle press that never moves the selection. Click comes once for every
// change of the selection, whoever makes it (mouse, keys, code), after ListIndex holds the
// new value, and for every write of ListIndex even when it changes nothing. The current
// row alone (the focus frame that tabbing in or Ctrl+arrows move) is not the selection.
class ClassicList : public QListWidget {
    Q_OBJECT

public:
    explicit ClassicList(QWidget* parent = nullptr);

    int ListIndex() const;
    void setListIndex(int index);
    int ListCount() const { return count(); }
    QString List(int index) const; // "" outside the list

signals:
    void Click();
    void DblClick();
    void MouseDown(const controls::MouseArgs& args);

protected:
    // Changes the selection without raising Click.
    void selectQuietly(int index);
    // Runs an edit of the rows without raising Click.
    template <typename Edit> void quietly(Edit edit) {
        const bool was = quiet_;
        quiet_ = true;
        edit();
        quiet_ = was;
    }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void selectionMoved();

    bool quiet_ = false;
};

} // namespace controls

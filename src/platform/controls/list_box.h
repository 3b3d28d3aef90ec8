#pragma once

#include "platform/controls/mouse_args.h"

#include <QListWidget>

namespace controls {

// A classic single-selection list box. Every write of ListIndex raises Click, as the
// handlers that move the selection rely on; a right press never moves the selection.
class ListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    int ListIndex() const; // -1 when nothing is selected
    void setListIndex(int index);
    int ListCount() const { return count(); }
    QString List(int index) const; // "" outside the list
    QString Text() const { return List(ListIndex()); }

    void AddItem(const QString& text, int index = -1);
    void RemoveItem(int index);
    void Clear();

signals:
    void Click();
    void DblClick();
    void MouseDown(const controls::MouseArgs& args);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void select(int index);

    bool settingIndex_ = false;
};

} // namespace controls

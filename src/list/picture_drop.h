#pragma once

#include <QObject>

class MyMainForm;

// Lets files and folders dragged from a file manager be dropped on the picture list: sits on
// the list's viewport and hands the dropped local paths to the window.
class PictureDrop : public QObject {
public:
    explicit PictureDrop(MyMainForm* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MyMainForm* form_;
};

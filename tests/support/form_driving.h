#pragma once

#include "browse/preview_form.h"
#include "mainwindow/my_main_form.h"

#include <QListWidget>
#include <QTest>

#include <functional>

// Presses `button` on row `row` of a list as the user does, on the list's viewport.
inline void clickRow(QListWidget* list, int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(list->item(row)).center());
}

// A double click as a mouse gives it: a click, then the second press as a double click. A
// list opens a row only when both presses land on it.
inline void doubleClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// The picture path the full-size window shows, "" when it is not open.
inline QString fullSizePreviewed(const MyMainForm& form) {
    const auto* window = form.findChild<PreviewForm*>();
    return window && window->isVisible() ? window->windowTitle().mid(1) : QString();
}

inline QStringList rows(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Records what a widget showed each time it was really painted.
class PaintLog : public QObject {
public:
    PaintLog(QWidget* watched, std::function<QString()> shown) : shown_(std::move(shown)) {
        watched->installEventFilter(this);
    }
    QStringList seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            seen << shown_();
        return false;
    }

private:
    std::function<QString()> shown_;
};

#pragma once

#include "browse/preview_form.h"
#include "mainwindow/my_main_form.h"
#include "picture/work_ahead.h"
#include "platform/qt/window_frame.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QListWidget>
#include <QTest>

#include <functional>

// Presses `button` on row `row` of a list as the user does, on the list's viewport.
inline void clickRow(QListWidget* list, int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(list->item(row)).center());
}

// Lets the filmstrip's pictures the workers are making arrive and be painted; an arrival
// may ask for more.
inline void settleFilmstrip() {
    for (int round = 0; round < 3; ++round) {
        picture::AheadPool().waitForDone();
        QCoreApplication::processEvents();
    }
}

// A double click as a mouse gives it: a click, then the second press as a double click. A
// list opens a row only when both presses land on it.
inline void doubleClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// The window with its frame as the window system tells it, and whether it has told one yet
// (on the offscreen platform, once the window is shown).
inline QRect outerGeometry(const QWidget& window) {
    return platform::outerGeometry(&window);
}
inline bool framed(const QWidget& window) {
    return outerGeometry(window) != window.geometry();
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

// The key presses and releases that reached any of `watched` past the window's key preview.
class KeyLog : public QObject {
public:
    explicit KeyLog(std::initializer_list<QWidget*> watched) {
        for (QWidget* w : watched)
            w->installEventFilter(this);
    }
    QStringList keys; // "down X on txtFPS", "up X on txtFPS"

protected:
    bool eventFilter(QObject* on, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            keys << (event->type() == QEvent::KeyPress ? "down " : "up ") +
                        QKeySequence(static_cast<QKeyEvent*>(event)->key()).toString() + " on " +
                        on->objectName();
        return false;
    }
};

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

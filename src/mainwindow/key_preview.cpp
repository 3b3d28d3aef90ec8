// Key preview: the window's key handlers see every key before the focused control, and a
// handler that sets the code to 0 keeps the key from the control.
#include "mainwindow/key_codes.h"
#include "mainwindow/my_main_form.h"

#include <QApplication>
#include <QKeyEvent>

bool MyMainForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    // Only the first delivery, to the control that has the focus (or the window itself);
    // a key that a control passes on to its parents is not seen twice.
    QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (watched != first || first->window() != this)
        return false;

    auto* key = static_cast<QKeyEvent*>(event);
    int code = keys::classicKeyCode(key->key());
    const controls::ShiftState shift = controls::classicShiftState(key->modifiers());
    if (type == QEvent::KeyRelease) {
        Form_KeyUp(code, shift);
        return code == 0 && keys::classicKeyCode(key->key()) != 0;
    }
    if (code != 0) {
        Form_KeyDown(code, shift);
        if (code == 0)
            return true;
    }
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).unicode() < 256) {
        int ascii = text.at(0).unicode();
        Form_KeyPress(ascii);
        if (ascii == 0)
            return true;
    }
    return false;
}

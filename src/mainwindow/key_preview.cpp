// Key preview: the window's key handlers see every key before the focused control, and a
// handler that sets the code to 0 keeps the key from the control.
#include "mainwindow/key_codes.h"
#include "mainwindow/my_main_form.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

// Keys by the physical key where the window system tells it: a key's release can carry
// another Qt key than its press when a modifier changed in between.
int keyIdentity(const QKeyEvent& key) {
    return key.nativeScanCode() != 0 ? -int(key.nativeScanCode()) : key.key();
}

} // namespace

bool MyMainForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QMainWindow::eventFilter(watched, event);
    // Only the first delivery, to the control that has the focus (or the window itself);
    // a key that a control passes on to its parents is not seen twice.
    QWidget* first = focusWidget() ? focusWidget() : this;
    if (watched != first || first->window() != this)
        return false;

    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // The menus' shortcuts are the window's wherever the focus is: a text box's own
        // Ctrl+X (cut) must not keep Exit from running. Left unclaimed, the shortcut runs.
        if (!isMenuShortcut(QKeySequence(key->keyCombination())))
            return false;
        key->ignore();
        return true;
    }
    return type == QEvent::KeyPress ? keyWentDown(*key) : keyWentUp(*key);
}

bool MyMainForm::isMenuShortcut(const QKeySequence& keys) const {
    for (const QAction* top : menuBar()->actions())
        for (const QAction* item : top->menu()->actions())
            if (!item->shortcut().isEmpty() && item->shortcut() == keys)
                return true;
    return false;
}

bool MyMainForm::keyWentDown(const QKeyEvent& key) {
    if (isBusy())
        keysDownWhileBusy_.insert(keyIdentity(key));
    int code = keys::classicKeyCode(key.key());
    Form_KeyDown(code, controls::classicShiftState(key.modifiers()));
    if (code == 0)
        return true;
    // Alt with a key types nothing, as on the classic platform, where the menus take Alt and a
    // letter: no KeyPress, and no text for the control either. AltGr (Ctrl+Alt there) types.
    if ((key.modifiers() & (Qt::AltModifier | Qt::ControlModifier)) == Qt::AltModifier)
        return !key.text().isEmpty();
    const std::optional<int> typed = keys::classicCharacter(key.key(), key.modifiers(), key.text());
    if (!typed)
        return false;
    int ascii = *typed;
    Form_KeyPress(ascii);
    return ascii == 0;
}

bool MyMainForm::keyWentUp(const QKeyEvent& key) {
    // A key held down repeats as releases and presses that are not the key going up.
    const bool wentDownWhileBusy = key.isAutoRepeat()
                                       ? keysDownWhileBusy_.contains(keyIdentity(key))
                                       : keysDownWhileBusy_.remove(keyIdentity(key));
    // The release of a key that went down elsewhere, such as the Enter that confirmed a
    // dialog and so started the job, is no request to stop it; the busy window still keeps
    // it from its controls.
    if (isBusy() && !wentDownWhileBusy)
        return true;
    int code = keys::classicKeyCode(key.key());
    Form_KeyUp(code, controls::classicShiftState(key.modifiers()));
    return code == 0;
}

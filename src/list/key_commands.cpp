// Every command has a key. The window sees each key before the focused control; a key set
// to 0 here never reaches that control.
#include "mainwindow/my_main_form.h"

#include <QPushButton>

namespace {

constexpr int insertKey = 45;
constexpr int deleteKey = 46;

} // namespace

// Insert and Delete are always consumed, enabled command or not; Shift, Ctrl and Alt make
// no difference.
void MyMainForm::Form_KeyDown(int& KeyCode, controls::ShiftState /*Shift*/) {
    if (abortIfBusy()) {
        KeyCode = 0;
        return;
    }
    if (KeyCode == insertKey) {
        if (Insert_button->isEnabled())
            Insert_button_Click();
        KeyCode = 0;
    } else if (KeyCode == deleteKey) {
        if (Remove_button->isEnabled())
            Remove_button_Click();
        KeyCode = 0;
    }
}

// No letter, upper or lower case, ever reaches a control; digits, punctuation, Enter and
// Backspace go on (the timing boxes need them).
void MyMainForm::Form_KeyPress(int& KeyAscii) {
    if (abortIfBusy()) {
        KeyAscii = 0;
        return;
    }
    const QChar c = QChar(char16_t(KeyAscii)).toUpper();
    if (c == u' ') {
        if (Add_button->isEnabled())
            Add_button_Click();
        KeyAscii = 0;
    } else if (c == u'A') {
        if (All_button->isEnabled())
            All_button_Click();
    } else if (c == u'N') {
        if (No_duplicates_button->isEnabled())
            No_duplicates_button_Click();
    } else if (c == u'U') {
        if (UpButton->isEnabled())
            UpButton_Click();
    } else if (c == u'D') {
        if (DownButton->isEnabled())
            DownButton_Click();
    } else if (c == u'M') {
        if (MakeAVI_button->isEnabled())
            MakeAVI_button_Click();
    } else if (c == u'P') {
        if (PlayAVIbutton->isEnabled())
            PlayAVIbutton_Click();
    } else if (c == u'C') {
        ClearALLmenu_Click();
    } else if (c == u'V') {
        PreviewMenu_Click();
    }
    if (c >= u'A' && c <= u'Z')
        KeyAscii = 0;
}

void MyMainForm::Form_KeyUp(int& KeyCode, controls::ShiftState /*Shift*/) {
    if (abortIfBusy())
        KeyCode = 0;
}

#include "mainwindow/my_main_form.h"

// No key has a command of its own yet: every key goes on to the focused control.
void MyMainForm::Form_KeyDown(int& /*KeyCode*/, controls::ShiftState /*Shift*/) {}
void MyMainForm::Form_KeyPress(int& /*KeyAscii*/) {}
void MyMainForm::Form_KeyUp(int& /*KeyCode*/, controls::ShiftState /*Shift*/) {}

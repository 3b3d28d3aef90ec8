// Which handler each control's events reach.
#include "controls/file_list.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

void MyMainForm::connectHandlers() {
    connect(BMPlist, &controls::ListBox::Click, this, &MyMainForm::BMPlist_Click);
    connect(File1, &controls::FileList::PathChange, this, &MyMainForm::File1_PathChange);
    connect(ExitMenu, &QAction::triggered, this, &MyMainForm::ExitMenu_Click);
    connect(MakeAVI_button, &QPushButton::clicked, this, &MyMainForm::MakeAVI_button_Click);
    connect(PlayAVIbutton, &QPushButton::clicked, this, &MyMainForm::PlayAVIbutton_Click);
    // A timing box is left when the focus goes to another control of this window; the
    // window losing activation, or a menu opening, leaves it as it is.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!now || now->window() != this)
            return;
        if (old == txtFPS)
            txtFPS_LostFocus();
        else if (old == duration_txtbox)
            duration_txtbox_LostFocus();
    });
}

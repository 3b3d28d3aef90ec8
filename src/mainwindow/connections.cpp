// Which handler each control's events reach.
#include "mainwindow/my_main_form.h"
#include "platform/controls/file_list.h"
#include "platform/controls/list_box.h"

#include <QAction>

void MyMainForm::connectHandlers() {
    connect(BMPlist, &controls::ListBox::Click, this, &MyMainForm::BMPlist_Click);
    connect(File1, &controls::FileList::PathChange, this, &MyMainForm::File1_PathChange);
    connect(ExitMenu, &QAction::triggered, this, &MyMainForm::ExitMenu_Click);
}

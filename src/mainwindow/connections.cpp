// Which handler each control's events reach.
#include "controls/file_list.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"

#include <QAction>

void MyMainForm::connectHandlers() {
    connect(BMPlist, &controls::ListBox::Click, this, &MyMainForm::BMPlist_Click);
    connect(File1, &controls::FileList::PathChange, this, &MyMainForm::File1_PathChange);
    connect(ExitMenu, &QAction::triggered, this, &MyMainForm::ExitMenu_Click);
    connect(TipsMenu, &QAction::triggered, this, &MyMainForm::TipsMenu_Click);
    connect(FernquillMenu, &QAction::triggered, this, &MyMainForm::FernquillMenu_Click);
    connect(AboutMenu, &QAction::triggered, this, &MyMainForm::AboutMenu_Click);
}

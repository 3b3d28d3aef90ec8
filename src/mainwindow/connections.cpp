// Which handler each control's events reach.
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

void MyMainForm::connectHandlers() {
    connect(BMPlist, &controls::ListBox::Click, this, &MyMainForm::BMPlist_Click);
    connect(BMPlist, &controls::ListBox::MouseDown, this, &MyMainForm::BMPlist_MouseDown);
    connect(Previous_image, &controls::ImageBox::MouseDown, this,
            &MyMainForm::Previous_image_MouseDown);
    connect(Next_image, &controls::ImageBox::MouseDown, this, &MyMainForm::Next_image_MouseDown);
    connect(Selected_Image, &controls::ImageBox::MouseDown, this,
            &MyMainForm::Selected_Image_MouseDown);
    connect(All_button, &QPushButton::clicked, this, &MyMainForm::All_button_Click);
    connect(File1, &controls::FileList::PathChange, this, &MyMainForm::File1_PathChange);
    connect(ExitMenu, &QAction::triggered, this, &MyMainForm::ExitMenu_Click);
    connect(TipsMenu, &QAction::triggered, this, &MyMainForm::TipsMenu_Click);
    connect(FernquillMenu, &QAction::triggered, this, &MyMainForm::FernquillMenu_Click);
    connect(AboutMenu, &QAction::triggered, this, &MyMainForm::AboutMenu_Click);
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

// Which handler each control's events reach.
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
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

    // Browser and preview.
    connect(Drive1, &controls::DriveList::Change, this, &MyMainForm::Drive1_Change);
    connect(Dir1, &controls::DirList::Change, this, &MyMainForm::Dir1_Change);
    connect(DesktopButton, &QPushButton::clicked, this, &MyMainForm::DesktopButton_Click);
    connect(File1, &controls::FileList::Click, this, &MyMainForm::File1_Click);
    connect(File1, &controls::FileList::DblClick, this, &MyMainForm::File1_DblClick);
    connect(File1, &controls::FileList::MouseDown, this, &MyMainForm::File1_MouseDown);
    connect(imgPreview, &controls::ImageBox::MouseDown, this, &MyMainForm::imgPreview_MouseDown);
    connect(imgPreview, &controls::ImageBox::DblClick, this, &MyMainForm::imgPreview_DblClick);

    // List edits.
    connect(Add_button, &QPushButton::clicked, this, &MyMainForm::Add_button_Click);
    connect(Insert_button, &QPushButton::clicked, this, &MyMainForm::Insert_button_Click);
    connect(Remove_button, &QPushButton::clicked, this, &MyMainForm::Remove_button_Click);
    connect(No_duplicates_button, &QPushButton::clicked, this,
            &MyMainForm::No_duplicates_button_Click);
    connect(UpButton, &QPushButton::clicked, this, &MyMainForm::UpButton_Click);
    connect(DownButton, &QPushButton::clicked, this, &MyMainForm::DownButton_Click);
    acceptPictureDrops();

    // Menus: the open rules run each time a menu opens.
    connect(FileMenu, &QMenu::aboutToShow, this, &MyMainForm::FileMenu_Click);
    connect(BitmapMenu, &QMenu::aboutToShow, this, &MyMainForm::BitmapMenu_Click);
    connect(AVImenu, &QMenu::aboutToShow, this, &MyMainForm::AVImenu_Click);
    const std::pair<QAction*, void (MyMainForm::*)()> commands[] = {
        {OpenMenu, &MyMainForm::OpenMenu_Click},
        {SaveMenu, &MyMainForm::SaveMenu_Click},
        {DeskTopMenuItem, &MyMainForm::DeskTopMenuItem_Click},
        {AddBMPmenu, &MyMainForm::AddBMPmenu_Click},
        {InsertMenu, &MyMainForm::InsertMenu_Click},
        {AddAllMenu, &MyMainForm::AddAllMenu_Click},
        {RemoveMenu, &MyMainForm::RemoveMenu_Click},
        {NoDuplicatesMenu, &MyMainForm::NoDuplicatesMenu_Click},
        {ClearALLmenu, &MyMainForm::ClearALLmenu_Click},
        {SHiftUpMenu, &MyMainForm::SHiftUpMenu_Click},
        {ShiftDownMenu, &MyMainForm::ShiftDownMenu_Click},
        {PreviewMenu, &MyMainForm::PreviewMenu_Click},
        {MakeAVImenu, &MyMainForm::MakeAVImenu_Click},
        {PlayAVImenu, &MyMainForm::PlayAVImenu_Click},
    };
    for (const auto& [action, handler] : commands)
        connect(action, &QAction::triggered, this, handler);
}

#pragma once

#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

// The main window's controls and menu items as a user's tools find them: by object name.
// A name that finds nothing of the type fails the test at once.
template <typename T> T* controlOf(const QObject& form, const char* name) {
    T* found = form.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("the window has no %s", name);
    return found;
}

struct FormControls {
    explicit FormControls(const MyMainForm& f) : form(f) {}
    const MyMainForm& form;

    template <typename T = QWidget> T* get(const char* name) const {
        return controlOf<T>(form, name);
    }
    // A menu item, or a whole menu's entry on the menu bar.
    QAction* item(const char* name) const { return get<QAction>(name); }
    QMenu* menu(const char* name) const { return get<QMenu>(name); }

    controls::DriveList* const Drive1 = get<controls::DriveList>("Drive1");
    controls::DirList* const Dir1 = get<controls::DirList>("Dir1");
    QPushButton* const DesktopButton = get<QPushButton>("DesktopButton");
    controls::FileList* const File1 = get<controls::FileList>("File1");
    QPushButton* const No_duplicates_button = get<QPushButton>("No_duplicates_button");
    QLineEdit* const txtFPS = get<QLineEdit>("txtFPS");
    QLineEdit* const duration_txtbox = get<QLineEdit>("duration_txtbox");
    QPushButton* const Remove_button = get<QPushButton>("Remove_button");
    QLabel* const Preview_filename_label = get<QLabel>("Preview_filename_label");
    controls::ImageBox* const imgPreview = get<controls::ImageBox>("imgPreview");
    QLabel* const PreviewSize_label = get<QLabel>("PreviewSize_label");
    QPushButton* const Insert_button = get<QPushButton>("Insert_button");
    QPushButton* const Add_button = get<QPushButton>("Add_button");
    QPushButton* const All_button = get<QPushButton>("All_button");
    QPushButton* const UpButton = get<QPushButton>("UpButton");
    QLabel* const bmplist_filename_label = get<QLabel>("bmplist_filename_label");
    controls::ListBox* const BMPlist = get<controls::ListBox>("BMPlist");
    QPushButton* const DownButton = get<QPushButton>("DownButton");
    QLabel* const bmp_size_label = get<QLabel>("bmp_size_label");
    QPushButton* const MakeAVI_button = get<QPushButton>("MakeAVI_button");
    QPushButton* const PlayAVIbutton = get<QPushButton>("PlayAVIbutton");
    QLabel* const lblStatus = get<QLabel>("lblStatus");
    controls::ImageBox* const FilmImage = get<controls::ImageBox>("FilmImage");
    controls::ImageBox* const Previous_image = get<controls::ImageBox>("Previous_image");
    controls::ImageBox* const Selected_Image = get<controls::ImageBox>("Selected_Image");
    controls::ImageBox* const Next_image = get<controls::ImageBox>("Next_image");
    controls::ImageBox* const TempImage = get<controls::ImageBox>("TempImage");
};

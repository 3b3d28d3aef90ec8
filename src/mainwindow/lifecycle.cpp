#include "avi/mavidecs.h"
#include "controls/image_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "platform/platform.h"
#include "platform/windows_directory.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

void MyMainForm::Form_Load() {
    mAVIDecs::AVIFileInit();
    CurrentPicturePath = QString();
    AviFilePath = paths::StripTrailingBackslash(platform::current().programFolder()) +
                  QDir::separator() + QStringLiteral("PICREEL.avi");
    Preview_filename_label->setText(QStringLiteral("No File"));
    imgPreview->clearPicture();
    RefreshCommandStates();
    RefreshFilmstrip();
    File1_PathChange();
    PlayReset();

    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    show();
}

void MyMainForm::Form_QueryUnload(bool& Cancel, int /*UnloadMode*/) {
    // A running job cannot be closed under the user's feet: the request becomes its abort
    // question instead, and the user closes again once it has stopped.
    if (isBusy()) {
        requestAbort();
        Cancel = true;
    }
}

void MyMainForm::Form_Unload(bool& /*Cancel*/) {
    mAVIDecs::AVIFileExit();
}

void MyMainForm::ExitMenu_Click() {
    close();
}

QString MyMainForm::WindowsDirectoryPath() const {
    return platform::WindowsDirectoryPath();
}

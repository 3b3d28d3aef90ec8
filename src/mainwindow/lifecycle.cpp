#include "avi/mavidecs.h"
#include "controls/image_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "picture/picture_conversion.h"
#include "picture/picture_error.h"
#include "platform/platform.h"
#include "platform/qt/window_frame.h"
#include "platform/windows_directory.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <unistd.h>

namespace {

// The folder the first save dialog proposes: the program's own where it may be written, as in
// a folder the user unpacked the program into; an installed program's folder is the system's,
// so the user's Videos folder then.
QString proposedVideoFolder() {
    const QString program = platform::current().programFolder();
    if (!program.isEmpty() && ::access(QFile::encodeName(program).constData(), W_OK) == 0)
        return program;
    return platform::current().videosFolder();
}

} // namespace

void MyMainForm::Form_Load() {
    mAVIDecs::AVIFileInit();
    CurrentPicturePath = QString();
    AviFilePath = paths::StripTrailingBackslash(proposedVideoFolder()) + QDir::separator() +
                  QStringLiteral("PICREEL.avi");
    Preview_filename_label->setText(QStringLiteral("No File"));
    imgPreview->clearPicture();
    RefreshCommandStates();
    RefreshFilmstrip();
    File1_PathChange();
    PlayReset();

    // Centred on the screen by its frame, again once the window manager has told the frame.
    const auto centre = [this] {
        if (const QScreen* s = screen())
            platform::centreFrameOn(this, s->availableGeometry().center());
    };
    centre();
    new platform::FrameWatch(this, platform::FrameWatch::Calls::Once, centre);
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
    // The last picture converted has no use once the window is gone, and may be large.
    try {
        QFile::remove(picture::TempBitmapPath());
    } catch (const picture::PictureError&) {
        // No private folder: nothing was ever converted.
    }
}

void MyMainForm::endByRequest() {
    endRequested_ = true;
    if (isBusy())
        requestAbort(); // the Make command closes the window once its job has ended
    else
        close();
}

void MyMainForm::ExitMenu_Click() {
    close();
}

QString MyMainForm::WindowsDirectoryPath() const {
    return platform::WindowsDirectoryPath();
}

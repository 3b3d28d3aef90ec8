// The drive, folder and file lists kept in step. A folder change empties the preview but
// leaves its size label alone; a failure changes nothing that was not already changed.
#include "browse/special_windows_folders.h"
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/mouse_args.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "platform/message_box.h"
#include "platform/platform.h"

#include <QFileInfo>
#include <QLabel>

namespace {

void folderFailure() {
    platform::current().beep();
    platform::MsgBox(QStringLiteral("Invalid folder/Path selected."), platform::MsgButtons::OK,
                     platform::MsgIcon::None, QStringLiteral("ERROR - Invalid Folder/Path"));
}

// A volume that is not ready, or whose root is gone or cannot be searched, cannot be opened.
bool volumeReadable(const controls::DriveList* drive) {
    const QFileInfo root(drive->rootPath());
    return drive->isReady() && root.isDir() && root.isExecutable();
}

// Files the list cannot show are named, so that none goes missing unexplained.
void reportUnlisted(const QStringList& names) {
    if (names.isEmpty())
        return;
    constexpr qsizetype named = 10;
    QString text = QStringLiteral("These files are not listed: their names are not UTF-8, and "
                                  "PICREEL takes UTF-8 names only. Rename them to use them.");
    for (const QString& name : names.mid(0, named))
        text += QStringLiteral("\r\n") + name;
    if (names.size() > named)
        text += QStringLiteral("\r\n(and %1 more)").arg(names.size() - named);
    platform::MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                     QStringLiteral("Warning - File Names Not Shown"));
}

} // namespace

void MyMainForm::Drive1_Change() {
    // Writing the folder list's path raises the folder change, which runs to its end first.
    if (!volumeReadable(Drive1) || !Dir1->openVolume(Drive1->Drive())) {
        platform::current().beep();
        platform::MsgBox(QStringLiteral("Drive not ready, or Invalid."), platform::MsgButtons::OK,
                         platform::MsgIcon::None,
                         QStringLiteral("Error - Drive (") + Drive1->Drive() + u')');
        return;
    }
    CurrentPicturePath = QString();
    Preview_filename_label->setText(QStringLiteral("No File"));
    imgPreview->clearPicture();
}

void MyMainForm::Dir1_Change() {
    if (!File1->setPath(Dir1->Path())) {
        folderFailure();
        return;
    }
    CurrentPicturePath = QString();
    Preview_filename_label->setText(QStringLiteral("No File"));
    imgPreview->clearPicture();
    RefreshCommandStates();
    reportUnlisted(File1->unlistedNames(File1->Path()));
}

// Not busy-aware. A desktop folder that cannot be found or opened is reported as any other
// folder that cannot be opened, and the lists stay where they were.
void MyMainForm::DesktopButton_Click() {
    const QString desktop = SpecialWindowsFolders::GetDesktopFolderPath();
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) {
        folderFailure();
        return;
    }
    Drive1->setDrive(desktop);
    Dir1->setPath(desktop);
    File1->setFocus();
}

void MyMainForm::startIn(const QString& path) {
    const QFileInfo given(path);
    if (!given.exists()) {
        folderFailure();
        return;
    }
    const QString full = given.absoluteFilePath();
    if (!given.isDir()) {
        browseToPicture(full);
        return;
    }
    Drive1->setDrive(full);
    Dir1->setPath(full);
}

// The right button shows the selected row, not the row under the pointer: it never moves
// the selection.
void MyMainForm::File1_MouseDown(const controls::MouseArgs& args) {
    if (abortIfBusy())
        return;
    if (args.Button == controls::RightButton && File1->ListIndex() != -1)
        ShowFullSizePreview(paths::StripTrailingBackslash(File1->Path()) + QDir::separator() +
                            File1->List(File1->ListIndex()));
}

#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "platform/platform.h"

#include <QSignalBlocker>

namespace {

// The row showing `name`: the one spelled exactly so, else one that differs only in case.
// A Linux folder may hold both a.bmp and A.BMP, and the user chose one of them.
int rowNamed(const controls::FileList* list, const QString& name) {
    int caseless = -1;
    for (int i = 0; i < list->ListCount(); ++i) {
        if (list->List(i) == name)
            return i;
        if (caseless == -1 && list->List(i).compare(name, Qt::CaseInsensitive) == 0)
            caseless = i;
    }
    return caseless;
}

} // namespace

// Picks a picture through the open dialog, moves the browser to its folder and previews it.
void MyMainForm::OpenMenu_Click() {
    if (abortIfBusy())
        return;
    CommonDialog1.DefaultExt = QStringLiteral("*");
    CommonDialog1.InitDir = Dir1->Path();
    CommonDialog1.Filter =
        QStringLiteral("Picture Files (BMP,JPG,GIF)| *.BMP;*.JPG;*.GIF|All files (*.*)|*.*");
    CommonDialog1.FileName = QString();
    CommonDialog1.DialogTitle = QStringLiteral("Select Source Picture");
    CommonDialog1.CancelError = false;
    CommonDialog1.Flags = 4; // no read-only check box
    if (!platform::current().fileDialog(platform::FileDialogMode::Open, CommonDialog1) ||
        CommonDialog1.FileName.isEmpty())
        return;
    browseToPicture(CommonDialog1.FileName);
}

void MyMainForm::browseToPicture(const QString& file) {
    const QString folder = paths::FolderPart(file);
    const QString name = paths::FileNamePart(file);
    Drive1->setDrive(folder);
    Dir1->setPath(folder);
    // A folder that cannot be listed has been reported by the folder change; the file list
    // still shows another folder, whose rows must not stand for the chosen file.
    if (!File1->setPath(folder))
        return;

    // The selection is made quietly: the click below is the one preview.
    {
        const QSignalBlocker quiet(File1);
        File1->setListIndex(rowNamed(File1, name));
    }
    File1_Click();
    File1->setFocus();
}

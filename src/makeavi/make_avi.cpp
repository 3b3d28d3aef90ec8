#include "controls/list_box.h"
#include "job/format_check.h"
#include "job/listed_output.h"
#include "job/make_avi_job.h"
#include "mainwindow/my_main_form.h"
#include "makeavi/form_job_host.h"
#include "paths/path_functions.h"
#include "platform/platform.h"
#include "platform/url_execute.h"

#include <QFileInfo>
#include <QPushButton>

void MyMainForm::MakeAVI_button_Click() {
    using namespace platform;
    if (isBusy()) {
        // A second Make while a job runs is the user asking to stop it.
        requestAbort();
        return;
    }
    setBusy(true);
    withdrawAbortRequest();
    if (BMPlist->ListCount() == 0) {
        current().beep();
        MsgBox(QStringLiteral("No picture files in list."), MsgButtons::OK, MsgIcon::None,
               QStringLiteral("Error - Make AVI File"));
        setBusy(false);
        return;
    }
    FormJobHost host(*this);
    if (job::CheckPictureFormats(host, FirstPictureFormat) && ChooseAviFile())
        job::writeAviFile(host, AviFilePath);
    else
        setMousePointer(MousePointer::Default);
    setBusy(false);
    // An end asked for during the job waited for it.
    if (endRequested_)
        close();
}

bool MyMainForm::ChooseAviFile() {
    using namespace platform;
    CommonDialog1.DefaultExt = QStringLiteral("avi");
    CommonDialog1.InitDir = paths::FolderPart(AviFilePath);
    CommonDialog1.DialogTitle = QStringLiteral("Make AVI File");
    CommonDialog1.Filter = QStringLiteral("AVI Files (*.avi)|*.avi|All files (*.*)|*.*");
    CommonDialog1.FileName = paths::FileNamePart(AviFilePath);
    CommonDialog1.CancelError = true;
    CommonDialog1.Flags = 4; // no read-only box; existing files are asked about below
    if (!current().fileDialog(FileDialogMode::Save, CommonDialog1))
        return false;
    AviFilePath = CommonDialog1.FileName;
    QStringList listed;
    for (int i = 0; i < BMPlist->ListCount(); ++i)
        listed << BMPlist->List(i);
    if (job::listedPictureAt(AviFilePath, listed)) {
        // Writing the video there would destroy a picture it still has to read.
        MsgBox(AviFilePath + QStringLiteral("\r\nis a picture in the list. Choose another name "
                                            "for the AVI file."),
               MsgButtons::OK, MsgIcon::Exclamation,
               QStringLiteral("Warning - File Is In The List"));
        return false;
    }
    return !QFileInfo::exists(AviFilePath) ||
           MsgBox(AviFilePath + QStringLiteral("\r\nDo you want to Overwrite it ?"),
                  MsgButtons::YesNo, MsgIcon::None,
                  QStringLiteral("Warning - File Already Exists")) == MsgAnswer::Yes;
}

void MyMainForm::PlayAVIbutton_Click() {
    // Nothing to tell when no program opens the file: the user sees nothing happen.
    URLexecute::ShellExecute(AviFilePath);
}

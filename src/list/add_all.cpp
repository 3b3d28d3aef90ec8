#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "picture/picture_conversion.h"
#include "platform/message_box.h"

#include <QLabel>
#include <QPushButton>

void MyMainForm::All_button_Click() {
    if (abortIfBusy())
        return;
    if (File1->ListCount() == 0)
        return;
    QStringList paths;
    for (int i = 0; i < File1->ListCount(); ++i)
        paths << paths::JoinPath(File1->Path(), File1->List(i));
    appendLoadablePictures(paths);
}

// Runs to its end without letting the window process events: the list and the status are
// repainted by hand after every file, and only the boxes for files that fail interrupt it.
void MyMainForm::appendLoadablePictures(const QStringList& paths) {
    setMousePointer(platform::MousePointer::Hourglass);
    const int count = int(paths.size());
    for (int i = 0; i < count; ++i) {
        const QString& path = paths[i];
        QImage picture;
        if (picture::IsLoadablePicture(path, picture)) {
            TempImage->setPicture(picture);
            BMPlist->AddItem(path);
            BMPlist->Refresh();
            lblStatus->setText(QStringLiteral("Adding %1 of %2").arg(i + 1).arg(count));
            lblStatus->repaint();
        } else {
            platform::MsgBox(QStringLiteral("File (%1 of %2) is not a valid picture format")
                                 .arg(i + 1)
                                 .arg(count),
                             platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                             QStringLiteral("Unable to Add: ") + paths::FileNamePart(path));
        }
    }
    setMousePointer(platform::MousePointer::Default);
    lblStatus->setText(QString());
    lblStatus->repaint();

    BMPlist->setListIndex(BMPlist->ListCount() - 1);
    RefreshCommandStates();
    PlayReset();
}

void MyMainForm::File1_PathChange() {
    const int count = File1->ListCount();
    All_button->setText(count == 0 ? QStringLiteral("Add ALL")
                                   : QStringLiteral("Add ALL [%1]").arg(count));
}

// The previewed picture: what Add and Insert put into the list. The preview box stretches a
// small copy; the size label tells the picture's natural size.
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "controls/mouse_args.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "picture/picture_conversion.h"
#include "picture/picture_error.h"
#include "picture/picture_loader.h"
#include "platform/message_box.h"

#include <QLabel>

void MyMainForm::File1_Click() {
    if (abortIfBusy())
        return;
    if (File1->ListIndex() == -1)
        return;
    setMousePointer(platform::MousePointer::Hourglass);
    CurrentPicturePath = paths::JoinPath(File1->Path(), File1->FileName());

    // This load decides whether the file is a picture at all.
    QImage picture;
    if (!picture::IsLoadablePicture(CurrentPicturePath, picture)) {
        // The size label keeps the previous picture's size and the command states stay as
        // they were; the invalid row stays selected.
        setMousePointer(platform::MousePointer::Default);
        imgPreview->clearPicture();
        CurrentPicturePath = QString();
        Preview_filename_label->setText(QStringLiteral("No File"));
        platform::MsgBox(QStringLiteral("The selected file is not a valid format\r\n"
                                        "Use only Bitmap (BMP), Jpeg (JPG) or GIF picture files."),
                         platform::MsgButtons::OK, platform::MsgIcon::None,
                         QStringLiteral("Invalid File"));
        return;
    }
    TempImage->setPicture(picture);
    Preview_filename_label->setText(paths::FileNamePart(CurrentPicturePath));
    RefreshCommandStates();
    RefreshPreview();
    setMousePointer(platform::MousePointer::Default);
}

// Fails silently, keeping whatever it had already shown. The box is small: a big JPEG is
// decoded at reduced size, and TempImage still takes the natural size for the label.
void MyMainForm::RefreshPreview() {
    picture::ReducedPicture loaded;
    try {
        loaded = picture::LoadReducedPicture(CurrentPicturePath, imgPreview->size());
    } catch (const picture::PictureError&) {
        return;
    }
    TempImage->setPicture(loaded.image, loaded.naturalSize);
    PreviewSize_label->setText(
        QStringLiteral("W%1 x H%2").arg(TempImage->Width()).arg(TempImage->Height()));
    imgPreview->setPicture(TempImage->Picture());
}

void MyMainForm::imgPreview_MouseDown(const controls::MouseArgs& args) {
    if (abortIfBusy())
        return;
    if (args.Button == controls::RightButton && !CurrentPicturePath.isEmpty())
        ShowFullSizePreview(QString(CurrentPicturePath));
}

void MyMainForm::imgPreview_DblClick() {
    Add_button_Click();
}

// Acts on the control that has the keyboard focus, whatever the busy marker says; with no
// control focused it does nothing.
void MyMainForm::PreviewMenu_Click() {
    const QWidget* focused = focusWidget();
    const QString name = focused ? focused->objectName().toUpper() : QString();
    if (name == QLatin1String("FILE1") && File1->ListIndex() != -1)
        ShowFullSizePreview(paths::StripTrailingBackslash(File1->Path()) + QDir::separator() +
                            File1->List(File1->ListIndex()));
    if (name == QLatin1String("BMPLIST") && BMPlist->ListIndex() != -1)
        ShowFullSizePreview(BMPlist->List(BMPlist->ListIndex()));
}

#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "picture/picture_error.h"
#include "picture/picture_loader.h"

#include <QLabel>

QImage MyMainForm::loadForDisplay(const QString& path) {
    if (path.isEmpty())
        return {};
    try {
        return picture::LoadPicture(path);
    } catch (const picture::PictureError&) {
        return {};
    }
}

void MyMainForm::RefreshFilmstrip() {
    const int i = BMPlist->ListIndex();
    const int n = BMPlist->ListCount();

    Previous_image->setPicture(i >= 1 ? loadForDisplay(BMPlist->List(i - 1)) : QImage());

    if (i != -1) {
        // The selected picture is read once, at its natural size, and shared with the
        // thumbnail. One that no longer loads shows as an empty frame with empty labels.
        const QString selected = BMPlist->Text();
        const QImage picture = loadForDisplay(selected);
        if (!picture.isNull())
            TempImage->setPicture(picture);
        Selected_Image->setPicture(picture);
        bmplist_filename_label->setText(picture.isNull() ? QString() : FileNamePart(selected));
        bmp_size_label->setText(
            picture.isNull()
                ? QString()
                : QStringLiteral("W%1 x H%2").arg(TempImage->Width()).arg(TempImage->Height()));
    } else {
        Selected_Image->clearPicture();
        bmplist_filename_label->setText(QStringLiteral("Picture List - Empty"));
        bmp_size_label->setText(QString());
    }

    Next_image->setPicture(i < n - 1 ? loadForDisplay(BMPlist->List(i + 1)) : QImage());

    Previous_image->Refresh();
    Selected_Image->Refresh();
    Next_image->Refresh();
}

void MyMainForm::BMPlist_Click() {
    const platform::MousePointer found = MousePointer();
    setMousePointer(platform::MousePointer::Hourglass);
    RefreshCommandStates();
    RefreshFilmstrip();
    setMousePointer(found);
}

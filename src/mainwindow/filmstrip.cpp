#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "picture/picture_error.h"
#include "picture/picture_loader.h"

#include <QLabel>

// The thumbnails are small: decoding a camera's picture whole for them would make every
// change of the selection wait (the conversion for the video still reads it whole).
picture::ReducedPicture MyMainForm::loadThumbnail(const QString& path) {
    if (path.isEmpty())
        return {};
    try {
        return thumbnails_.load(path);
    } catch (const picture::PictureError&) {
        return {};
    }
}

void MyMainForm::RefreshFilmstrip() {
    const int i = BMPlist->ListIndex();
    const int n = BMPlist->ListCount();

    Previous_image->setPicture(i >= 1 ? loadThumbnail(BMPlist->List(i - 1)).image : QImage());

    if (i != -1) {
        // The selected picture is read once and shared with the thumbnail; TempImage keeps
        // its natural size for the label. One that no longer loads shows as an empty frame
        // with empty labels.
        const QString selected = BMPlist->Text();
        const picture::ReducedPicture reduced = loadThumbnail(selected);
        const QImage& picture = reduced.image;
        if (!picture.isNull())
            TempImage->setPicture(picture, reduced.naturalSize);
        Selected_Image->setPicture(picture);
        bmplist_filename_label->setText(picture.isNull() ? QString()
                                                         : paths::FileNamePart(selected));
        bmp_size_label->setText(
            picture.isNull()
                ? QString()
                : QStringLiteral("W%1 x H%2").arg(TempImage->Width()).arg(TempImage->Height()));
    } else {
        Selected_Image->clearPicture();
        bmplist_filename_label->setText(QStringLiteral("Picture List - Empty"));
        bmp_size_label->setText(QString());
    }

    Next_image->setPicture(i < n - 1 ? loadThumbnail(BMPlist->List(i + 1)).image : QImage());

    // Moving on by one needs the picture after the next; during the Make command the job
    // offers it from its own conversion instead.
    thumbnails_.expect({!isBusy() && i >= 0 && i + 2 < n ? BMPlist->List(i + 2) : QString()});

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

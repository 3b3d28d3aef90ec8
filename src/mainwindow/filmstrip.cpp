#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "picture/picture_loader.h"

#include <QLabel>

// The thumbnails are small: decoding a camera's picture whole for them would make every
// change of the selection wait (the conversion for the video still reads it whole). The
// process's workers make them; one not at hand yet is painted when it arrives, and the window
// never waits for it.
picture::ReducedPicture MyMainForm::thumbnailOf(const QString& path) {
    if (path.isEmpty())
        return {};
    if (auto found = thumbnails_.find(path))
        return *found;
    // The job converts every picture for the video and offers it.
    if (isBusy() || thumbnailsAwaited_.contains(path))
        return {};
    if (thumbnails_.whenMade(path, this, [this, path] {
            thumbnailsAwaited_.remove(path);
            // Whatever the filmstrip shows now: an arrival for a picture no longer shown
            // paints nothing of it.
            showFilmstrip(Arrival::Yes);
        })) {
        thumbnailsAwaited_.insert(path);
        return {};
    }
    // Not under way: a picture changed while it was made, or one there was no room for.
    return thumbnails_.load(path);
}

void MyMainForm::offerThumbnail(const QString& path, const QImage& whole, Shown shown) {
    thumbnails_.offer(path, whole);
    const int i = BMPlist->ListIndex();
    if (shown == Shown::Now && i != -1 &&
        (BMPlist->List(i) == path || BMPlist->List(i - 1) == path || BMPlist->List(i + 1) == path))
        showFilmstrip(Arrival::Yes);
}

void MyMainForm::RefreshFilmstrip() {
    showFilmstrip(Arrival::No);
}

void MyMainForm::showFilmstrip(Arrival arrival) {
    const int i = BMPlist->ListIndex();
    const int n = BMPlist->ListCount();
    const QString previous = i >= 1 ? BMPlist->List(i - 1) : QString();
    const QString selected = i != -1 ? BMPlist->Text() : QString();
    const QString next = i < n - 1 ? BMPlist->List(i + 1) : QString();
    // Moving on by one needs the picture after the next; during the Make command the job
    // offers the pictures from its own conversions instead.
    if (isBusy())
        thumbnails_.expect({});
    else
        thumbnails_.expect(
            {selected, next, previous, i >= 0 && i + 2 < n ? BMPlist->List(i + 2) : QString()});

    Previous_image->setPicture(thumbnailOf(previous).image);

    if (i != -1) {
        // The selected picture is read once and shared with the thumbnail; TempImage keeps
        // its natural size for the label. One that no longer loads, or has not arrived yet,
        // shows as an empty frame with empty labels. During the Make command the job owns
        // TempImage, so a thumbnail arriving then leaves it alone.
        const picture::ReducedPicture reduced = thumbnailOf(selected);
        const QImage& picture = reduced.image;
        if (!picture.isNull() && (arrival == Arrival::No || !isBusy()))
            TempImage->setPicture(picture, reduced.naturalSize);
        Selected_Image->setPicture(picture);
        bmplist_filename_label->setText(picture.isNull() ? QString()
                                                         : paths::FileNamePart(selected));
        bmp_size_label->setText(picture.isNull() ? QString()
                                                 : QStringLiteral("W%1 x H%2")
                                                       .arg(reduced.naturalSize.width())
                                                       .arg(reduced.naturalSize.height()));
    } else {
        Selected_Image->clearPicture();
        bmplist_filename_label->setText(QStringLiteral("Picture List - Empty"));
        bmp_size_label->setText(QString());
    }

    Next_image->setPicture(thumbnailOf(next).image);

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

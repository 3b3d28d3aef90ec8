#include "makeavi/form_job_host.h"

#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "picture/picture_conversion.h"
#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {

// The pictures converted ahead of the one in hand.
constexpr int picturesAhead = 3;

} // namespace

FormJobHost::FormJobHost(MyMainForm& form)
    : form_(form), ahead_(picture::ConversionAhead::Product::PictureAndBitmap) {}

int FormJobHost::entryCount() const {
    return form_.BMPlist->ListCount();
}

QString FormJobHost::entry(int i) const {
    return form_.BMPlist->List(i);
}

void FormJobHost::selectEntry(int i) {
    // Clear all during a job leaves positions beyond the end; they select nothing.
    if (i < 0 || i >= form_.BMPlist->ListCount())
        return;
    // The filmstrip about to show this entry and the next takes them from the conversions
    // made for the video, when those are done, rather than reading both files once more.
    for (const int shown : {i, i + 1})
        if (const auto converted = ahead_.ready(entry(shown)))
            form_.offerThumbnail(entry(shown), converted->image);
    form_.BMPlist->setListIndex(i);
}

void FormJobHost::refreshFilmstrip() {
    form_.RefreshFilmstrip();
}

bool FormJobHost::loadPictureAsDib(const QString& path, picture::cDIB& dib) {
    // The picture holder keeps what the road left in it, also when the road fails half-way.
    QImage holder = form_.TempImage->Picture();
    const auto converted = ahead_.take(path);
    expectAfter(path);
    try {
        // Each step, the holder and the temporary Bitmap as the road leaves them, happens here
        // in its turn; only the decoding may have been done already.
        const bool read = converted ? picture::LoadConvertedAsDib(*converted, dib, holder)
                                    : picture::LoadPictureAsDib(path, dib, holder);
        form_.TempImage->setPicture(holder);
        form_.offerThumbnail(path, holder, MyMainForm::Shown::Now);
        return read;
    } catch (...) {
        form_.TempImage->setPicture(holder);
        throw;
    }
}

void FormJobHost::expectAfter(const QString& path) {
    // The check and the job go down the list in order; edits made meanwhile only cost a
    // picture converted for nothing.
    const int count = entryCount();
    int at = -1;
    for (int n = 0; n < count && at < 0; ++n)
        if (entry((lastFound_ + n) % count) == path)
            at = (lastFound_ + n) % count;
    if (at < 0)
        return;
    lastFound_ = at;
    QStringList upcoming;
    for (int i = at; i < count && i <= at + picturesAhead; ++i)
        upcoming << entry(i);
    ahead_.expect(upcoming);
}

QString FormJobHost::framesPerSecondText() const {
    return form_.txtFPS->text();
}

QString FormJobHost::durationText() const {
    return form_.duration_txtbox->text();
}

void FormJobHost::doEvents() {
    platform::current().doEvents();
}

bool FormJobHost::abortRequested() const {
    return form_.abortRequested();
}

bool FormJobHost::endingProgram() const {
    return form_.endRequested_;
}

void FormJobHost::setAbortRequested(bool requested) {
    if (requested)
        form_.requestAbort();
    else
        form_.withdrawAbortRequest();
}

void FormJobHost::showStatus(const QString& text) {
    form_.lblStatus->setText(text);
    form_.lblStatus->repaint();
}

void FormJobHost::frameWritten(std::int32_t frame, int /*entry*/) {
    // The strip of film steps through three positions, one step every three frames.
    const int top = int(std::lround(frame / 3.0) % 3) * 8 - 16;
    if (form_.FilmImage->y() != top)
        form_.FilmImage->move(form_.FilmImage->x(), top);
}

void FormJobHost::setMousePointer(platform::MousePointer pointer) {
    form_.setMousePointer(pointer);
}

QObject* FormJobHost::dialogOwner() {
    return &form_;
}

void FormJobHost::offerToPlay(const QString& aviPath) {
    form_.setPlayable(aviPath);
}

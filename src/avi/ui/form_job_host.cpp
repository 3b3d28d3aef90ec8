#include "avi/ui/form_job_host.h"

#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "picture/picture_conversion.h"
#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

int FormJobHost::entryCount() const {
    return form_.BMPlist->ListCount();
}

QString FormJobHost::entry(int i) const {
    return form_.BMPlist->List(i);
}

void FormJobHost::selectEntry(int i) {
    // Clear all during a job leaves positions beyond the end; they select nothing.
    if (i >= 0 && i < form_.BMPlist->ListCount())
        form_.BMPlist->setListIndex(i);
}

void FormJobHost::refreshFilmstrip() {
    form_.RefreshFilmstrip();
}

bool FormJobHost::LoadPictureAsDib(const QString& path, picture::cDIB& dib) {
    // The picture holder keeps what the road left in it, also when the road fails half-way.
    QImage holder = form_.TempImage->Picture();
    try {
        const bool read = picture::LoadPictureAsDib(path, dib, holder);
        form_.TempImage->setPicture(holder);
        return read;
    } catch (...) {
        form_.TempImage->setPicture(holder);
        throw;
    }
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
    return form_.AbortRequested;
}

void FormJobHost::setAbortRequested(bool requested) {
    form_.AbortRequested = requested;
}

void FormJobHost::showStatus(const QString& text) {
    form_.lblStatus->setText(text);
    form_.lblStatus->repaint();
}

void FormJobHost::moveFilmImage(int top) {
    if (form_.FilmImage->y() != top)
        form_.FilmImage->move(form_.FilmImage->x(), top);
}

void FormJobHost::setMousePointer(platform::MousePointer pointer) {
    form_.setMousePointer(pointer);
}

void* FormJobHost::dialogOwner() {
    return static_cast<QWidget*>(&form_);
}

void FormJobHost::offerToPlay(const QString& aviPath) {
    form_.PlayAVIbutton->setEnabled(true);
    form_.PlayAVIbutton->setToolTip(QStringLiteral("Play - ") + aviPath);
}

#include "job/format_check.h"

#include "job/abort_question.h"
#include "job/job_host.h"
#include "job/picture_failure.h"
#include "picture/dib.h"
#include "platform/message_box.h"

namespace job {

namespace {

picture::PictureFormat formatOf(const picture::cDIB& dib) {
    return {dib.Width(), dib.Height(), dib.BitCount()};
}

void reportDifferent(const QString& path) {
    platform::MsgBox(
        QStringLiteral("This picture file (") + path +
            QStringLiteral(") is a different size or colour depth.\r\n"
                           "NB: The first picture file in the list sets the frame size and color "
                           "depth of the AVI.\r\n\r\n"
                           "Hint: Try preparing your pictures using SIZEMATE.EXE first."),
        platform::MsgButtons::OK, platform::MsgIcon::None,
        QStringLiteral("Warning - Picture Format is Different"));
}

} // namespace

bool CheckPictureFormats(JobHost& host, picture::PictureFormat& FirstPictureFormat) {
    host.setMousePointer(platform::MousePointer::Hourglass);
    picture::cDIB dib;
    // A picture that cannot be converted at all stops the check: the user learns which one
    // and why before choosing an output file, rather than finding its place in the video
    // taken by the picture before it.
    QString path;
    try {
        path = host.entry(0);
        if (host.entryCount() >= 1 && host.loadPictureAsDib(path, dib))
            FirstPictureFormat = formatOf(dib);

        const int entries = host.entryCount();
        for (int i = 0; i < entries; ++i) {
            host.doEvents();
            // Clear all does not wait for the job: a list emptied under the check ends it as
            // an abort does, with no picture to blame.
            if (askWhetherToAbort(host) || i >= host.entryCount()) {
                host.showStatus(QStringLiteral("Aborted"));
                return false;
            }
            host.showStatus(QStringLiteral("Checking Size/color - Picture  ") + QString::number(i));
            path = host.entry(i);
            if (host.loadPictureAsDib(path, dib) && formatOf(dib) != FirstPictureFormat) {
                reportDifferent(path);
                host.showStatus(QString());
                return false;
            }
        }
    } catch (const std::exception& e) {
        reportPictureFailure(path, e);
        host.showStatus(QString());
        return false;
    }
    host.setMousePointer(platform::MousePointer::Default);
    host.showStatus(QString());
    return true;
}

} // namespace job

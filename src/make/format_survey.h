#pragma once

#include "picture/picture_format.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace make {

// The frame size and depth a picture takes on its way into the video, found without
// decoding where the picture's header tells. Throws PictureError when it cannot be read, and
// when converting it would not fit in the memory the run may still use (with the frame
// before it, when the writer keeps one to find repeats).
picture::PictureFormat convertedFormat(const QString& path, bool writerKeepsFrame);

struct DifferingPicture {
    QString path;
    picture::PictureFormat format;
};

// The pictures whose converted format differs from the first readable picture's, in list
// order: the ones the window's check would stop at, every one of them; and every picture that
// cannot be read, as "path: reason". `interrupted` is asked before each picture; when it
// answers true the survey ends early and `completed` is false.
struct Survey {
    picture::PictureFormat first;
    QList<DifferingPicture> differing;
    QStringList unreadable;
    bool completed = true;
};
struct SurveyRules {
    bool writerKeepsFrame = false; // see convertedFormat
    bool anySize = false;          // pictures are fitted to the frame: sizes may differ
};
Survey surveyPictureFormats(const QStringList& pictures, const std::function<bool()>& interrupted,
                            const SurveyRules& rules);

} // namespace make

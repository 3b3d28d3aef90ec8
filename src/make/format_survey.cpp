#include "make/format_survey.h"

#include "picture/picture_loader.h"

namespace make {

picture::PictureFormat convertedFormat(const QString& path) {
    const QSize size = picture::LoadedPictureSize(path);
    // The saving step writes every picture with 24 bits, whatever it was decoded as.
    return {size.width(), size.height(), 24};
}

Survey surveyPictureFormats(const QStringList& pictures, const std::function<bool()>& interrupted) {
    Survey survey;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        if (interrupted()) {
            survey.completed = false;
            return survey;
        }
        const picture::PictureFormat format = convertedFormat(pictures[i]);
        if (i == 0)
            survey.first = format;
        else if (format != survey.first)
            survey.differing.append({pictures[i], format});
    }
    return survey;
}

} // namespace make

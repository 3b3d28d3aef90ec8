#include "make/picture_arguments.h"

#include "paths/natural_order.h"
#include "picture/picture_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

namespace make {

namespace {

QStringList expand(const QString& argument) {
    if (QFileInfo(argument).isDir())
        return picturesOfFolder(argument);
    return {argument};
}

} // namespace

QStringList picturesOfFolder(const QString& folder) {
    QDir dir(folder);
    QStringList names = dir.entryList({"*.bmp", "*.jpg", "*.jpeg", "*.gif"}, QDir::Files);
    std::sort(names.begin(), names.end(), paths::naturalLess);
    QStringList paths;
    for (const QString& name : names)
        paths.append(dir.filePath(name));
    return paths;
}

QStringList expandPictureArguments(const QStringList& arguments, const QString& listFile,
                                   std::FILE* standardInput) {
    QStringList pictures;
    for (const QString& argument : arguments)
        pictures += expand(argument);
    if (listFile.isEmpty())
        return pictures;

    QFile file(listFile);
    const bool opened = listFile == QStringLiteral("-")
                            ? file.open(standardInput, QIODevice::ReadOnly)
                            : file.open(QIODevice::ReadOnly);
    if (!opened)
        throw picture::PictureError(picture::PictureError::Kind::ReadFailed,
                                    listFile + QStringLiteral(": ") + file.errorString());
    QTextStream lines(&file);
    for (QString line; lines.readLineInto(&line);) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            pictures += expand(line);
    }
    return pictures;
}

} // namespace make

#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

namespace make {

// The pictures of a folder as the window's file list shows them: its BMP, JPEG and GIF files,
// hidden ones left out, in natural order (img2 before img10), as full paths.
QStringList picturesOfFolder(const QString& folder);

// The picture list of a run: each argument in turn, a folder standing for its pictures,
// then the lines of the list file (blank lines skipped; "-" reads `standardInput`).
// Throws PictureError (ReadFailed) when the list file cannot be read.
QStringList expandPictureArguments(const QStringList& arguments, const QString& listFile,
                                   std::FILE* standardInput);

} // namespace make

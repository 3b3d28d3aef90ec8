#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace make {

// The most pictures one run takes: far beyond any real slide show, and a bound on what
// endless input (`yes x.jpg |`) can make the list cost.
constexpr qsizetype mostPictures = 1'000'000;

// The pictures of a folder as the window's file list shows them: its BMP, JPEG and GIF files,
// hidden ones left out, in natural order (img2 before img10), as full paths.
QStringList picturesOfFolder(const QString& folder);

// Why the picture list could not be made, with the line to show.
struct ListingStopped {
    enum class Why { TooMany, NotAList, Interrupted } why;
    QString message;
};

struct ListSource {
    QString file;              // "" for none, "-" for `standardInput`
    bool nulSeparated = false; // paths end in NUL, as `find -print0` writes them
    std::FILE* standardInput = stdin;
};

// The picture list of a run: each argument in turn, a folder standing for its pictures,
// then the paths of the list file (blank lines skipped). `interrupted` is asked as the list
// grows. Throws PictureError (ReadFailed) when the list file cannot be read, ListingStopped
// past mostPictures, at a NUL inside a line or a path longer than any can be, or when
// interrupted.
QStringList expandPictureArguments(const QStringList& arguments, const ListSource& list,
                                   const std::function<bool()>& interrupted);

} // namespace make

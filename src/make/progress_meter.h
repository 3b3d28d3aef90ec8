#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

namespace make {

// Progress of the frames on standard error: one line redrawn in place on a terminal, a
// plain line every few seconds into a file or pipe, or nothing.
class ProgressMeter {
public:
    enum class Style { Live, Lines, Silent };

    ProgressMeter(Style style, std::FILE* out, qint64 totalFrames, int pictures);

    void frameWritten(int picture); // picture: 0-based position in the list
    // Ends the live line, so that what follows starts on a line of its own.
    void finish();
    qint64 framesWritten() const { return frames_; }

private:
    QString line(bool live) const;

    Style style_;
    std::FILE* out_;
    qint64 total_;
    int pictures_;
    qint64 frames_ = 0;
    int picture_ = 0;
    QElapsedTimer clock_;
    qint64 shownAt_ = -1;
};

} // namespace make

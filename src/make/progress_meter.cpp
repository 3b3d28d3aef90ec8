#include "make/progress_meter.h"

namespace make {

namespace {

constexpr qint64 liveEveryMs = 100;
constexpr qint64 linesEveryMs = 3000;
constexpr int barWidth = 24;

QString clockText(qint64 ms) {
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ProgressMeter::ProgressMeter(Style style, std::FILE* out, qint64 totalFrames, int pictures)
    : style_(style), out_(out), total_(totalFrames), pictures_(pictures) {
    clock_.start();
}

QString ProgressMeter::line(bool live) const {
    const qint64 ms = clock_.elapsed();
    const double fps = ms > 0 ? frames_ * 1000.0 / ms : 0;
    const QString left = frames_ > 0 ? clockText(ms * (total_ - frames_) / frames_) : "?";
    QString text = QStringLiteral("%1/%2 frames, picture %3/%4, %5 elapsed, %6 left, %7 fps")
                       .arg(frames_)
                       .arg(total_)
                       .arg(picture_ + 1)
                       .arg(pictures_)
                       .arg(clockText(ms), left)
                       .arg(fps, 0, 'f', 1);
    if (!live)
        return text;
    const int filled = total_ > 0 ? int(barWidth * frames_ / total_) : 0;
    return QStringLiteral("\r[%1%2] ").arg(QString(filled, '#'), QString(barWidth - filled, '.')) +
           text + QStringLiteral("\x1b[K");
}

void ProgressMeter::frameWritten(int picture) {
    ++frames_;
    picture_ = picture;
    if (style_ == Style::Silent)
        return;
    const qint64 now = clock_.elapsed();
    const qint64 every = style_ == Style::Live ? liveEveryMs : linesEveryMs;
    if (shownAt_ >= 0 && now - shownAt_ < every && frames_ != total_)
        return;
    if (shownAt_ < 0 && style_ == Style::Lines) {
        shownAt_ = now; // the first plain line comes after a few seconds, not at once
        return;
    }
    shownAt_ = now;
    const QString text = line(style_ == Style::Live);
    std::fputs(qPrintable(text), out_);
    if (style_ == Style::Lines)
        std::fputc('\n', out_);
    std::fflush(out_);
}

void ProgressMeter::finish() {
    if (style_ == Style::Live && shownAt_ >= 0) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
}

} // namespace make

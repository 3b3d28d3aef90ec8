#include "picture/frame_fit.h"

#include <algorithm>
#include <cmath>

namespace picture {

namespace {

int roundedWithin(double value, int most) {
    return std::clamp(int(std::lround(value)), 1, most);
}

} // namespace

Placement placementOf(QSize picture, const FrameFit& fit) {
    const double across = double(fit.frame.width()) / picture.width();
    const double down = double(fit.frame.height()) / picture.height();
    if (fit.mode == FrameFit::Mode::Pad) {
        const double scale = std::min(across, down);
        const QSize shown(roundedWithin(picture.width() * scale, fit.frame.width()),
                          roundedWithin(picture.height() * scale, fit.frame.height()));
        const QPoint at((fit.frame.width() - shown.width()) / 2,
                        (fit.frame.height() - shown.height()) / 2);
        return {QRect(QPoint(0, 0), picture), QRect(at, shown)};
    }
    const double scale = std::max(across, down);
    const QSize used(roundedWithin(fit.frame.width() / scale, picture.width()),
                     roundedWithin(fit.frame.height() / scale, picture.height()));
    const QPoint from((picture.width() - used.width()) / 2, (picture.height() - used.height()) / 2);
    return {QRect(from, used), QRect(QPoint(0, 0), fit.frame)};
}

} // namespace picture

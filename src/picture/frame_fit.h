#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

namespace picture {

// How pictures of any size and shape fill a video frame of one size: scaled keeping their
// shape, either whole with bars around (pad) or filling the frame with the overflow cut off
// evenly (crop). Bars and transparent parts show the background colour.
struct FrameFit {
    enum class Mode { Pad, Crop };
    QSize frame;
    Mode mode = Mode::Pad;
    QColor background = Qt::black;
};

// Where a picture of size `picture` lands: `source`, the part of the picture shown (all of
// it when padded), is scaled to `target`, its place in the frame (the whole frame when
// cropped). Sizes are rounded to whole pixels and never empty; bars are split evenly, the odd
// pixel going right and down.
struct Placement {
    QRect source;
    QRect target;
};
Placement placementOf(QSize picture, const FrameFit& fit);

} // namespace picture

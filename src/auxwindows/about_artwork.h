#pragma once

#include <QImage>

// The About window's pictures, painted in code like the rest of the program's artwork.
namespace about_artwork {

// 458 x 288, 24 bits: a pale warm ground with a strip of film along the top and a faint reel
// at the right. The window shows its top-left part.
QImage background();

// 40 x 34, classic 16 colours on a transparent ground: a reel unwinding a piece of film.
QImage emblem();

} // namespace about_artwork

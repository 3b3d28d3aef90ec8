#pragma once

#include <QIcon>
#include <QImage>

// The program's own artwork, painted in code so the repository holds no picture files.
namespace artwork {

// 32 x 32, 16 colours: a film reel.
QImage programIconImage();
QIcon programIcon();

// 165 x 420, 24 bits: a vertical strip of film with sprocket holes and three frames.
QImage filmStrip();

// 16 x 15, 16 colours, on the button face colour: a black triangle over three short bars,
// and the same picture upside down.
QImage upArrow();
QImage downArrow();

} // namespace artwork

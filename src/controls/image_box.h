#pragma once

#include "controls/mouse_args.h"

#include <QFrame>
#include <QImage>

namespace controls {

// A classic image control. Fit::Stretch draws its picture over its whole inside;
// Fit::Natural takes the picture's natural size, so Width and Height tell the picture's
// size in pixels.
class ImageBox : public QFrame {
    Q_OBJECT

public:
    enum class Fit { Natural, Stretch };
    enum class Border { None, Sunken3D, Flat };

    explicit ImageBox(Fit fit, Border border = Border::None, QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void setPicture(const QImage& picture);
    // A picture decoded at reduced size for display: a box that does not stretch still takes
    // the natural size, so that Width and Height keep telling the picture's real size.
    void setPicture(const QImage& picture, QSize naturalSize);
    void clearPicture() { setPicture(QImage()); }
    bool Stretch() const { return fit_ == Fit::Stretch; }

    int Width() const { return width(); }
    int Height() const { return height(); }
    void Refresh() { repaint(); }

signals:
    void MouseDown(const controls::MouseArgs& args);
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    Fit fit_;
};

} // namespace controls

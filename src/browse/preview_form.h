#pragma once

#include <QImage>
#include <QWidget>

// The full-size preview window: one picture drawn at its natural size from the top-left
// corner, no controls. It stays above its owner without a taskbar entry, and any key or
// mouse press in it closes it and hands the activation back to the owner.
class PreviewForm : public QWidget {
    Q_OBJECT

public:
    explicit PreviewForm(QWidget* owner);

    const QImage& Picture() const { return picture_; }

    // Replaces caption and picture; the outer height becomes the picture's height plus 25
    // and the outer width its width, in the screen's pixels, both at most the screen's
    // available area (the picture's top-left part then shows at natural size: one picture
    // pixel on one screen pixel, whatever the scale). Shows the window without a modal loop.
    void showPicture(const QString& caption, const QImage& picture);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyOuterSize();

    QImage picture_;
};

#pragma once

#include "mainwindow/my_main_form.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>

#include <memory>

// The main window as the program starts it with `folder` as the current folder (the browser
// shows it); the previous current folder comes back afterwards.
class StartedForm {
public:
    explicit StartedForm(const QString& folder) : previous_(QDir::currentPath()) {
        QDir::setCurrent(folder);
        form_ = std::make_unique<MyMainForm>();
        form_->Form_Load();
    }
    ~StartedForm() {
        form_.reset();
        QDir::setCurrent(previous_);
    }
    MyMainForm* operator->() const { return form_.get(); }
    MyMainForm& operator*() const { return *form_; }

private:
    QString previous_;
    std::unique_ptr<MyMainForm> form_;
};

// Writes a plain picture of `size` as `name` in `folder` and returns its full path.
inline QString writePicture(const QString& folder, const QString& name, QSize size,
                            const char* format = "BMP", QColor colour = Qt::blue) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    const QString path = QDir(folder).filePath(name);
    return picture.save(path, format) ? path : QString();
}

// Writes `bytes` as `name` in `folder` (a damaged picture, say) and returns its full path.
inline QString writeBytes(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(QDir(folder).filePath(name));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    return written ? file.fileName() : QString();
}

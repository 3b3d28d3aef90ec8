#pragma once

#include "form_controls.h"
#include "mainwindow/my_main_form.h"
#include "scripted_platform.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

// A plain picture a test lays out; the name may lead through subfolders.
struct Picture {
    QString name = {};
    QSize size = {32, 24};
    const char* format = "BMP";
};

// Writes `bytes` as `name` in `folder` (a damaged picture, say) and returns its full path.
inline QString writeBytes(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(QDir(folder).filePath(name));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    return written ? file.fileName() : QString();
}

class StartedForm;

// What the desktop holds when the window starts. The pictures are written into a fresh
// folder; the window starts with that folder (or `startIn`, one of its subfolders) as the
// current folder, so the browser shows it. `arrange` lays out the rest of the desktop before
// the window looks at it.
struct Setting {
    QList<Picture> pictures = {};
    QString startIn = {};
    std::function<void(StartedForm&)> arrange = {};
};

// The main window as the program starts it on a scripted desktop. The previous current
// folder comes back afterwards.
class StartedForm {
public:
    explicit StartedForm(const Setting& setting = {}) : previous_(QDir::currentPath()) {
        for (const Picture& p : setting.pictures)
            paths << write(p);
        if (setting.arrange)
            setting.arrange(*this);
        QDir::setCurrent(path(setting.startIn));
        form_ = std::make_unique<MyMainForm>();
        form_->Form_Load();
        ui_ = std::make_unique<FormControls>(*form_);
    }
    ~StartedForm() {
        ui_.reset();
        form_.reset();
        QDir::setCurrent(previous_);
    }

    MyMainForm& w() const { return *form_; }
    const FormControls& ui() const { return *ui_; }
    // A place in the folder; "" is the folder itself.
    QString path(const QString& name) const {
        return name.isEmpty() ? folder.path() : folder.filePath(name);
    }
    QString write(const Picture& picture, QColor colour = Qt::blue) const {
        QImage image(picture.size, QImage::Format_RGB32);
        image.fill(colour);
        const QString at = path(picture.name);
        QDir().mkpath(QFileInfo(at).path());
        return image.save(at, picture.format) ? at : QString();
    }

    ScriptedPlatform desktop; // first: the window must find it installed
    QTemporaryDir folder;
    QStringList paths; // the pictures given, in their order

private:
    QString previous_;
    std::unique_ptr<MyMainForm> form_;
    std::unique_ptr<FormControls> ui_;
};

// For a test class holding one started window at a time: started in init(), gone in
// cleanup().
class WithStartedForm {
protected:
    MyMainForm& w() { return started->w(); }
    const FormControls& ui() { return started->ui(); }
    ScriptedPlatform& desktop() { return started->desktop; }

    std::optional<StartedForm> started;
};

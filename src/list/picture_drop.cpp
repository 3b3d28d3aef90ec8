#include "controls/file_list.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths << QDir::toNativeSeparators(url.toLocalFile());
    return paths;
}

// Lets files and folders dragged from a file manager be dropped on the picture list: sits on
// the list's viewport and hands the dropped local paths to the window.
class PictureDrop : public QObject {
public:
    PictureDrop(MyMainForm* form, QWidget* target) : QObject(form), form_(form) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MyMainForm* form_;
};

bool PictureDrop::eventFilter(QObject* /*watched*/, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (localPaths(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localPaths(drop->mimeData());
        if (paths.isEmpty())
            return true;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // After the drop has finished: the file manager must not wait on our message boxes.
        QMetaObject::invokeMethod(
            form_, [form = form_, paths] { form->BMPlist_DropFiles(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

void MyMainForm::acceptPictureDrops() {
    new PictureDrop(this, BMPlist->viewport());
}

// A folder stands for the pictures the file list would show for it, in that order; each
// dropped picture is tested by loading it, as Add ALL tests the folder's files.
void MyMainForm::BMPlist_DropFiles(const QStringList& paths) {
    if (abortIfBusy())
        return;
    QStringList pictures;
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir()) {
            pictures << path;
            continue;
        }
        for (const QString& name : File1->matchingFiles(path).value_or(QStringList()))
            pictures << paths::JoinPath(path, name);
    }
    if (!pictures.isEmpty())
        appendLoadablePictures(pictures);
}

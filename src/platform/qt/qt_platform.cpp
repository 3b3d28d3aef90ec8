#include "platform/qt/qt_platform.h"

#include "platform/qt/window_frame.h"
#include "platform/system_info_store.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include <algorithm>

namespace platform {

QtPlatform::QtPlatform() : instanceFolder_(InstanceFolder::claim(InstanceFolder::defaultBase())) {
    if (instanceFolder_)
        return;
    fallbackBase_ = std::make_unique<QTemporaryDir>();
    if (fallbackBase_->isValid())
        instanceFolder_ = InstanceFolder::claim(fallbackBase_->path() + QStringLiteral("/picreel"));
}

QtPlatform::~QtPlatform() {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

MsgAnswer QtPlatform::messageBox(const MsgBoxRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.title);
    box.setText(request.prompt);
    switch (request.icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    if (request.buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    keepOnScreenOnceFramed(&box);
    // A box must show the normal pointer even while the program shows the hourglass.
    const bool hourglass = QApplication::overrideCursor() != nullptr;
    if (hourglass)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (hourglass)
        QApplication::restoreOverrideCursor();
    if (request.buttons == MsgButtons::OK)
        return MsgAnswer::OK;
    return result == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

QStringList qtNameFilters(const QString& classicFilter) {
    QStringList filters;
    const QStringList parts = classicFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(u';', u' ');
        // *.* is every file on the classic platform; here it would leave out names without
        // a dot.
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        // Qt filters by the patterns in the text's last brackets and shows the text as it is:
        // a text that already shows its patterns there gets the ones Qt uses in their place.
        QString text = parts[i].trimmed();
        const qsizetype open = text.lastIndexOf(u'(');
        if (text.endsWith(u')') && open >= 0 && text.indexOf(u'*', open) >= 0)
            text.truncate(open);
        filters << text.trimmed() + QStringLiteral(" (") + patterns + u')';
    }
    return filters;
}

bool QtPlatform::fileDialog(FileDialogMode mode, CommonDialog& dialog) {
    QFileDialog fd(QApplication::activeWindow(), dialog.DialogTitle, dialog.InitDir);
    fd.setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                  : QFileDialog::AcceptOpen);
    fd.setFileMode(mode == FileDialogMode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks about replacing a file itself.
    fd.setOption(QFileDialog::DontConfirmOverwrite);
    if (!dialog.DefaultExt.isEmpty())
        fd.setDefaultSuffix(dialog.DefaultExt);
    if (!dialog.Filter.isEmpty())
        fd.setNameFilters(qtNameFilters(dialog.Filter));
    if (!dialog.FileName.isEmpty())
        fd.selectFile(dialog.FileName);
    keepOnScreenOnceFramed(&fd);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return false;
    dialog.FileName = QDir::toNativeSeparators(fd.selectedFiles().constFirst());
    return true;
}

void QtPlatform::beep() {
    QApplication::beep();
}

void QtPlatform::setMousePointer(MousePointer pointer) {
    if (pointer == pointer_)
        return;
    pointer_ = pointer;
    if (pointer == MousePointer::Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}

void QtPlatform::doEvents() {
    QCoreApplication::processEvents();
}

bool QtPlatform::openDocument(const QString& pathOrUrl) {
    const QUrl url =
        pathOrUrl.contains(QLatin1String("://")) ? QUrl(pathOrUrl) : QUrl::fromLocalFile(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool QtPlatform::startProgram(const QString& path) {
    return QProcess::startDetached(path, {});
}

QString QtPlatform::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

QString QtPlatform::windowsDirectory() const {
    return instanceFolder_ ? instanceFolder_->path() : QString();
}

QString QtPlatform::desktopFolder() const {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir())
        return {};
    return QDir::toNativeSeparators(desktop) + QDir::separator();
}

QString QtPlatform::videosFolder() const {
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (!videos.isEmpty() && QFileInfo(videos).isDir())
        return QDir::toNativeSeparators(videos);
    return QDir::toNativeSeparators(QDir::homePath());
}

QList<Volume> QtPlatform::volumes() const {
    QList<Volume> result;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (!info.isValid())
            continue;
        QString root = QDir::toNativeSeparators(info.rootPath());
        if (!root.endsWith(QDir::separator()))
            root += QDir::separator();
        const bool duplicate = std::any_of(result.cbegin(), result.cend(),
                                           [&](const Volume& v) { return v.rootPath == root; });
        if (!duplicate)
            result.append(Volume{root, info.name(), info.isReady()});
    }
    // The root volume first, the others by path.
    const QString root = QDir::separator();
    std::sort(result.begin(), result.end(), [&](const Volume& a, const Volume& b) {
        return std::pair(a.rootPath != root, a.rootPath) <
               std::pair(b.rootPath != root, b.rootPath);
    });
    return result;
}

std::optional<StoredValue> QtPlatform::keyValue(KeyRoot root, const QString& key,
                                                const QString& name, KeyAccess access) const {
    return system_info_store::value(root, key, name, access);
}

} // namespace platform

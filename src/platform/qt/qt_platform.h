#pragma once

#include "platform/instance_folder.h"
#include "platform/platform.h"

#include <QTemporaryDir>
#include <memory>

namespace platform {

// The real desktop: Qt's boxes and dialogs, the desktop services, the mounted volumes.
class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    MsgAnswer messageBox(const MsgBoxRequest& request) override;
    bool fileDialog(FileDialogMode mode, CommonDialog& dialog) override;
    void beep() override;
    MousePointer mousePointer() const override { return pointer_; }
    void setMousePointer(MousePointer pointer) override;
    void doEvents() override;
    bool openDocument(const QString& pathOrUrl) override;
    bool startProgram(const QString& path) override;
    QString programFolder() const override;
    QString windowsDirectory() const override;
    QString desktopFolder() const override;
    QString videosFolder() const override;
    QList<Volume> volumes() const override;
    std::optional<StoredValue> keyValue(KeyRoot root, const QString& key, const QString& name,
                                        KeyAccess access) const override;

private:
    MousePointer pointer_ = MousePointer::Default;
    std::unique_ptr<QTemporaryDir> fallbackBase_; // when the usual places cannot be used
    std::unique_ptr<InstanceFolder> instanceFolder_;
};

// "text|pattern|text|pattern" as Qt's name filters.
QStringList qtNameFilters(const QString& classicFilter);

} // namespace platform

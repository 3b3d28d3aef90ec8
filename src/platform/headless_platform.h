#pragma once

#include "platform/platform.h"

namespace platform {

// A platform with no desktop behind it, for programs and tools that run without a window:
// dialogs are cancelled, nothing opens or starts, there are no places and no stored values.
// What a box shows, and the folders, are left to the program.
class HeadlessPlatform : public Platform {
public:
    bool fileDialog(FileDialogMode, CommonDialog&) override { return false; }
    void beep() override {}
    MousePointer mousePointer() const override { return {}; }
    void setMousePointer(MousePointer) override {}
    void doEvents() override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
    QString programFolder() const override { return {}; }
    QString desktopFolder() const override { return {}; }
    QString videosFolder() const override { return {}; }
    QList<Volume> volumes() const override { return {}; }
    std::optional<StoredValue> keyValue(KeyRoot, const QString&, const QString&,
                                        KeyAccess) const override {
        return {};
    }
};

} // namespace platform

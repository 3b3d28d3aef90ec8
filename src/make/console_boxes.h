#pragma once

#include "platform/platform.h"

#include <QStringList>

namespace make {

// The platform of a program without a desktop. The abort question is answered Yes (it is
// only asked after an interrupt); every other box is kept for the program to report.
class ConsoleBoxes final : public platform::Platform {
public:
    platform::MsgAnswer messageBox(const platform::MsgBoxRequest& request) override;
    bool fileDialog(platform::FileDialogMode, platform::CommonDialog&) override { return false; }
    void beep() override {}
    platform::MousePointer mousePointer() const override { return {}; }
    void setMousePointer(platform::MousePointer) override {}
    void doEvents() override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
    QString programFolder() const override;
    QString windowsDirectory() const override;
    QString desktopFolder() const override { return {}; }
    QList<platform::Volume> volumes() const override { return {}; }
    std::optional<platform::StoredValue> keyValue(platform::KeyRoot, const QString&, const QString&,
                                                  platform::KeyAccess) const override {
        return {};
    }

    // The prompts of the boxes shown so far, one line each.
    const QStringList& prompts() const { return prompts_; }

private:
    QStringList prompts_;
};

} // namespace make

#pragma once

#include "platform/platform.h"

#include <cstdio>

// A platform with no desktop behind it, for the fuzz targets and bench/convert: every box is
// answered OK and, when asked, printed as "icon|prompt"; everything else does nothing.
class ConsolePlatform final : public platform::Platform {
public:
    explicit ConsolePlatform(bool printBoxes, QString windowsDir = {})
        : print_(printBoxes), windowsDir_(std::move(windowsDir)) {}

    platform::MsgAnswer messageBox(const platform::MsgBoxRequest& r) override {
        if (print_)
            std::printf("%d|%s\n", int(r.icon), qPrintable(r.prompt));
        return platform::MsgAnswer::OK;
    }
    bool fileDialog(platform::FileDialogMode, platform::CommonDialog&) override { return false; }
    void beep() override {}
    platform::MousePointer mousePointer() const override { return {}; }
    void setMousePointer(platform::MousePointer) override {}
    void doEvents() override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
    QString programFolder() const override { return {}; }
    QString windowsDirectory() const override { return windowsDir_; }
    QString desktopFolder() const override { return {}; }
    QList<platform::Volume> volumes() const override { return {}; }
    std::optional<platform::StoredValue> keyValue(platform::KeyRoot, const QString&, const QString&,
                                                  platform::KeyAccess) const override {
        return {};
    }

private:
    bool print_;
    QString windowsDir_;
};

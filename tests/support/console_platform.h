#pragma once

#include "platform/headless_platform.h"

#include <cstdio>

// A platform with no desktop behind it, for the fuzz targets and bench/convert: every box is
// answered OK and, when asked, printed as "icon|prompt"; everything else does nothing.
class ConsolePlatform final : public platform::HeadlessPlatform {
public:
    explicit ConsolePlatform(bool printBoxes, QString windowsDir = {})
        : print_(printBoxes), windowsDir_(std::move(windowsDir)) {}

    platform::MsgAnswer messageBox(const platform::MsgBoxRequest& r) override {
        if (print_)
            std::printf("%d|%s\n", int(r.icon), qPrintable(r.prompt));
        return platform::MsgAnswer::OK;
    }
    QString windowsDirectory() const override { return windowsDir_; }

private:
    bool print_;
    QString windowsDir_;
};

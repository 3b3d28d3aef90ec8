#pragma once

#include "platform/headless_platform.h"

#include <QStringList>

namespace make {

// The platform of a program without a desktop. The abort question is answered Yes (it is
// only asked after an interrupt); every other box is kept for the program to report.
class ConsoleBoxes final : public platform::HeadlessPlatform {
public:
    platform::MsgAnswer messageBox(const platform::MsgBoxRequest& request) override;
    QString programFolder() const override;
    QString windowsDirectory() const override;

    // The prompts of the boxes shown so far, one line each.
    const QStringList& prompts() const { return prompts_; }

private:
    QStringList prompts_;
};

} // namespace make

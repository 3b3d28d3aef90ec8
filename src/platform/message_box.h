#pragma once

#include <QString>

namespace platform {

enum class MsgButtons { OK, YesNo };
enum class MsgIcon { None, Critical, Exclamation, Information };
enum class MsgAnswer { OK, Yes, No };

// One modal message box as the user sees it. An empty title is shown as the
// application title.
struct MsgBoxRequest {
    QString prompt;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    QString title;

    bool operator==(const MsgBoxRequest&) const = default;
};

// The title every box without one of its own carries.
QString applicationTitle();

// Shows a modal box through the installed platform and returns the button pressed.
MsgAnswer MsgBox(const QString& prompt, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None, const QString& title = {});

} // namespace platform

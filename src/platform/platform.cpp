#include "platform/platform.h"

#include <QtGlobal>

namespace platform {

namespace {
Platform* installed = nullptr;
}

Platform& current() {
    if (!installed)
        qFatal("no platform installed");
    return *installed;
}

Platform* install(Platform* p) {
    Platform* previous = installed;
    installed = p;
    return previous;
}

QString applicationTitle() {
    return QStringLiteral("picreel");
}

MsgAnswer MsgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title) {
    return current().messageBox(
        MsgBoxRequest{prompt, buttons, icon, title.isEmpty() ? applicationTitle() : title});
}

} // namespace platform

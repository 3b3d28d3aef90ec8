#include "make/console_boxes.h"

#include <QCoreApplication>
#include <QDir>

namespace make {

platform::MsgAnswer ConsoleBoxes::messageBox(const platform::MsgBoxRequest& request) {
    if (request.buttons == platform::MsgButtons::YesNo)
        return platform::MsgAnswer::Yes;
    QString prompt = request.prompt;
    prompts_.append(prompt.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).simplified());
    return platform::MsgAnswer::OK;
}

QString ConsoleBoxes::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

QString ConsoleBoxes::windowsDirectory() const {
    // Nothing of this program goes through the temporary Bitmap; a folder that exists will do.
    return QDir::tempPath();
}

} // namespace make

#include "scripted_platform.h"

#include <QDir>
#include <QTest>

using namespace platform;

ScriptedPlatform::ScriptedPlatform() : previous_(install(this)) {
    programDir = scratch_.path() + QStringLiteral("/program");
    windowsDir = scratch_.path() + QStringLiteral("/windows");
    desktopDir = scratch_.path() + QStringLiteral("/desktop/");
    videosDir = scratch_.path() + QStringLiteral("/videos");
    QDir().mkpath(programDir);
    QDir().mkpath(windowsDir + QStringLiteral("/TEMP"));
    QDir().mkpath(desktopDir);
    volumeList = {Volume{QStringLiteral("/"), QString(), true}};
}

ScriptedPlatform::~ScriptedPlatform() {
    if (!boxAnswers_.isEmpty())
        QTest::qFail("answers queued for message boxes that never came", __FILE__, __LINE__);
    if (!fileAnswers_.isEmpty())
        QTest::qFail("answers queued for file dialogs that never came", __FILE__, __LINE__);
    install(previous_);
}

MsgAnswer ScriptedPlatform::messageBox(const MsgBoxRequest& request) {
    boxes.append(request);
    if (boxAnswers_.isEmpty()) {
        const QByteArray what =
            "unexpected message box: " + request.title.toUtf8() + " / " + request.prompt.toUtf8();
        QTest::qFail(what.constData(), __FILE__, __LINE__);
        return request.buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::No;
    }
    return boxAnswers_.dequeue();
}

bool ScriptedPlatform::fileDialog(FileDialogMode mode, CommonDialog& dialog) {
    fileDialogs.append(dialog);
    fileDialogModes.append(mode);
    if (fileAnswers_.isEmpty()) {
        QTest::qFail("unexpected file dialog", __FILE__, __LINE__);
        return false;
    }
    const std::optional<QString> answer = fileAnswers_.dequeue();
    if (!answer)
        return false;
    dialog.FileName = *answer;
    return true;
}

void ScriptedPlatform::setMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    pointerHistory.append(pointer);
}

void ScriptedPlatform::doEvents() {
    ++doEventsCalls;
    if (onDoEvents)
        onDoEvents();
}

bool ScriptedPlatform::openDocument(const QString& pathOrUrl) {
    openedDocuments.append(pathOrUrl);
    return openDocumentResult;
}

bool ScriptedPlatform::startProgram(const QString& path) {
    startedPrograms.append(path);
    return startProgramResult;
}

std::optional<StoredValue> ScriptedPlatform::keyValue(KeyRoot root, const QString& key,
                                                      const QString& name, KeyAccess access) const {
    if (root != KeyRoot::LocalMachine || access != KeyAccess::Read)
        return std::nullopt;
    const auto it = keyValues.constFind({key, name});
    if (it == keyValues.constEnd())
        return std::nullopt;
    return *it;
}

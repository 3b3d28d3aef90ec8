#pragma once

#include "platform/platform.h"

#include <QList>
#include <QMap>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <utility>

// A platform for tests: records every box, dialog and shell call, answers from queues,
// and fails the running test on a box nobody queued an answer for. It installs itself
// on construction and puts the previous platform back when destroyed.
class ScriptedPlatform final : public platform::Platform {
public:
    ScriptedPlatform();
    ~ScriptedPlatform() override;

    // --- scripting ---
    // Queue the answer to the next message box. Every box needs one, OK boxes too.
    void answerNextBox(platform::MsgAnswer answer) { boxAnswers_.enqueue(answer); }
    void expectOkBoxes(int count) {
        for (int i = 0; i < count; ++i)
            boxAnswers_.enqueue(platform::MsgAnswer::OK);
    }
    // Queue the next file dialog's result: a full path, or std::nullopt for Cancel.
    void answerNextFileDialog(std::optional<QString> file) { fileAnswers_.enqueue(file); }
    // Runs inside every doEvents(): lets a test act "while the job runs".
    std::function<void()> onDoEvents;

    // --- what happened ---
    QList<platform::MsgBoxRequest> boxes;
    QList<platform::CommonDialog> fileDialogs;
    QList<platform::FileDialogMode> fileDialogModes;
    QStringList openedDocuments;
    QStringList startedPrograms;
    int beeps = 0;
    int doEventsCalls = 0;
    QList<platform::MousePointer> pointerHistory;

    // --- places and answers the test may change ---
    QString programDir;
    QString windowsDir; // has a TEMP subfolder
    QString desktopDir;
    QString videosDir;
    QList<platform::Volume> volumeList;
    // Values by (key, value name) under HKEY_LOCAL_MACHINE. Like the registry of a user
    // without write rights, the store opens keys for reading only.
    QMap<QPair<QString, QString>, platform::StoredValue> keyValues;
    bool openDocumentResult = true;
    bool startProgramResult = true;

    // Boxes shown since the last call, then forgets them.
    QList<platform::MsgBoxRequest> takeBoxes() { return std::exchange(boxes, {}); }

    // Platform
    platform::MsgAnswer messageBox(const platform::MsgBoxRequest& request) override;
    bool fileDialog(platform::FileDialogMode mode, platform::CommonDialog& dialog) override;
    void beep() override { ++beeps; }
    platform::MousePointer mousePointer() const override { return pointer_; }
    void setMousePointer(platform::MousePointer pointer) override;
    void doEvents() override;
    bool openDocument(const QString& pathOrUrl) override;
    bool startProgram(const QString& path) override;
    QString programFolder() const override { return programDir; }
    QString windowsDirectory() const override { return windowsDir; }
    QString desktopFolder() const override { return desktopDir; }
    QString videosFolder() const override { return videosDir; }
    QList<platform::Volume> volumes() const override { return volumeList; }
    std::optional<platform::StoredValue> keyValue(platform::KeyRoot root, const QString& key,
                                                  const QString& name,
                                                  platform::KeyAccess access) const override;

private:
    QQueue<platform::MsgAnswer> boxAnswers_;
    QQueue<std::optional<QString>> fileAnswers_;
    platform::MousePointer pointer_ = platform::MousePointer::Default;
    QTemporaryDir scratch_;
    platform::Platform* previous_;
};

#pragma once

#include "platform/common_dialog.h"
#include "platform/key_value.h"
#include "platform/message_box.h"
#include "platform/mouse_pointer.h"
#include "platform/volume.h"

#include <QList>
#include <QString>
#include <optional>

namespace platform {

// Everything the program asks of the desktop it runs on. The program installs the
// Qt implementation; tests install a scripted one that records and answers.
class Platform {
public:
    virtual ~Platform() = default;

    // Modal boxes and dialogs.
    virtual MsgAnswer messageBox(const MsgBoxRequest& request) = 0;
    // False when the user cancelled; otherwise dialog.FileName holds the full path.
    virtual bool fileDialog(FileDialogMode mode, CommonDialog& dialog) = 0;

    virtual void beep() = 0;
    virtual MousePointer mousePointer() const = 0;
    virtual void setMousePointer(MousePointer pointer) = 0;
    // Lets pending window events run (re-entrancy is intended).
    virtual void doEvents() = 0;

    // Opens a file or web address with its default program; false when nothing opened it.
    virtual bool openDocument(const QString& pathOrUrl) = 0;
    // Starts a program by path, never through a shell.
    virtual bool startProgram(const QString& path) = 0;

    // Places.
    virtual QString programFolder() const = 0;
    // The private per-user folder that stands in for the Windows directory
    // (no trailing separator); it has a TEMP subfolder.
    virtual QString windowsDirectory() const = 0;
    // The desktop folder with the separator appended, "" when there is none.
    virtual QString desktopFolder() const = 0;
    // Where the user keeps videos (no trailing separator): the desktop's Videos folder, the
    // home folder when there is none.
    virtual QString videosFolder() const = 0;
    virtual QList<Volume> volumes() const = 0;

    // A value of the system's key-value store (the registry stand-in), with the key opened
    // for access; std::nullopt when the key cannot be opened so or the value is not there.
    virtual std::optional<StoredValue> keyValue(KeyRoot root, const QString& key,
                                                const QString& name, KeyAccess access) const = 0;
};

// The installed platform. Using it before anything is installed is a programming error.
Platform& current();
// Installs p (not owned) and returns the one it replaces.
Platform* install(Platform* p);

} // namespace platform

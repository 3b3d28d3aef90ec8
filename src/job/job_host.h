#pragma once

#include "job/timing_rules.h"
#include "platform/mouse_pointer.h"

#include <QString>

class QObject;

namespace picture {
class cDIB;
}

namespace job {

// What the format check and the Make-AVI job need of the program that runs them. The main
// window is one host; a command-line front end can be another. Boxes and dialogs go through
// the platform layer, not through the host.
class JobHost {
public:
    virtual ~JobHost() = default;

    // The picture list, read by position; "" beyond its end.
    virtual int entryCount() const = 0;
    virtual QString entry(int i) const = 0;
    // Shows entry i as the one being handled; nothing happens beyond the list's end.
    virtual void selectEntry(int /*i*/) {}
    virtual void refreshFilmstrip() {}
    // The program's one road from a listed picture to a Bitmap (may throw PictureError).
    virtual bool loadPictureAsDib(const QString& path, picture::cDIB& dib) = 0;

    // The two timing texts as they stand now.
    virtual QString framesPerSecondText() const = 0;
    virtual QString durationText() const = 0;
    // The stream's frames per second as rate / scale. The window's is its whole rate of 1 to
    // 30 over 1; a host that takes rates such as 30000/1001 gives them here exactly.
    virtual StreamRate streamRate() const { return streamRateOf(framesPerSecondText()); }

    // Lets pending events run; commands given meanwhile may request an abort.
    virtual void doEvents() {}
    virtual bool abortRequested() const = 0;
    virtual void setAbortRequested(bool requested) = 0;
    // The program is being ended: an abort request is then granted without asking.
    virtual bool endingProgram() const { return false; }

    // Progress and outcome, shown at once.
    virtual void showStatus(const QString& text) = 0;
    // Frame `frame` (counted from 1) is in the file; it shows list entry `entry`.
    virtual void frameWritten(std::int32_t /*frame*/, int /*entry*/) {}
    virtual void setMousePointer(platform::MousePointer /*pointer*/) {}
    // The window the compression dialog belongs to, or none.
    virtual QObject* dialogOwner() { return nullptr; }
    // The file is complete (or complete up to an abort) and may be played.
    virtual void offerToPlay(const QString& /*aviPath*/) {}
};

} // namespace job

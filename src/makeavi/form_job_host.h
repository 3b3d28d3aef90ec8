#pragma once

#include "job/job_host.h"
#include "picture/conversion_ahead.h"

class MyMainForm;

// The main window as the job sees it: its list, timing boxes, status label, film picture,
// picture holder and abort request.
class FormJobHost final : public job::JobHost {
public:
    explicit FormJobHost(MyMainForm& form);

    int entryCount() const override;
    QString entry(int i) const override;
    void selectEntry(int i) override;
    void refreshFilmstrip() override;
    bool loadPictureAsDib(const QString& path, picture::cDIB& dib) override;
    QString framesPerSecondText() const override;
    QString durationText() const override;
    void doEvents() override;
    bool abortRequested() const override;
    bool endingProgram() const override;
    void setAbortRequested(bool requested) override;
    void showStatus(const QString& text) override;
    void frameWritten(std::int32_t frame, int entry) override;
    void setMousePointer(platform::MousePointer pointer) override;
    QObject* dialogOwner() override;
    void offerToPlay(const QString& aviPath) override;

private:
    // The pictures after `path` in the list, for converting ahead.
    void expectAfter(const QString& path);

    MyMainForm& form_;
    picture::ConversionAhead ahead_;
    int lastFound_ = 0; // where `path` was found in the list last time
};

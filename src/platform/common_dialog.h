#pragma once

#include <QString>

namespace platform {

enum class FileDialogMode { Open, Save };

// The classic common-dialog control: the caller fills the properties, shows the
// dialog, and reads FileName back. Filter is "text|pattern|text|pattern".
struct CommonDialog {
    QString DefaultExt;
    QString InitDir;
    QString Filter;
    QString FileName;
    QString DialogTitle;
    bool CancelError = false;
    int Flags = 0;
};

} // namespace platform

#include "platform/url_execute.h"

#include "platform/platform.h"

namespace URLexecute {

bool ShellExecute(const QString& file) {
    return platform::current().openDocument(file);
}

} // namespace URLexecute

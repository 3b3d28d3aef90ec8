#include "picture/work_ahead.h"

namespace picture {

QThreadPool& AheadPool() {
    static QThreadPool pool;
    return pool;
}

} // namespace picture

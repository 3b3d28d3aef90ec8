#include "platform/qt_platform.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::QtPlatform desktop;
    platform::install(&desktop);
    return 0;
}

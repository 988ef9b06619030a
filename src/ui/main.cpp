// pictora: the desktop workbench.
#include <QApplication>

#include "ui/CPictoraApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    pictora::CPictoraApp app;
    if (!app.InitInstance()) return 1;
    return QApplication::exec();
}

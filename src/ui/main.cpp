// pictora [FILE...]: the desktop workbench, opening the files named.
#include <QApplication>

#include "ui/CPictoraApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    pictora::CPictoraApp app;
    // QApplication has taken its own options (-platform, -style, ...) out.
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    return QApplication::exec();
}

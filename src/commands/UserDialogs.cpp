#include "commands/UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "commands/CDialogOrdemCodeBook.h"
#include "commands/MethodOptionsDialog.h"

namespace pictora {

const char* const kApplicationTitle = "Pictora utilizando Redes Neurais";

void WidgetDialogs::ShowMessage(const QString& text, Icon icon) {
    QMessageBox box(icon == Icon::Information ? QMessageBox::Information
                    : icon == Icon::Warning   ? QMessageBox::Warning
                                              : QMessageBox::NoIcon,
                    QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, parent_);
    box.exec();
}

QStringList WidgetDialogs::AskOpenPaths(const QString& filter) {
    return QFileDialog::getOpenFileNames(parent_, QString(), QString(), filter);
}

QString WidgetDialogs::AskSavePath(const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, QString(), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

}  // namespace pictora

namespace pictora {

std::array<int, 3> WidgetDialogs::AskCodebookOrder(const std::array<QString, 3>& files) {
    CDialogOrdemCodeBook dialog(parent_);
    dialog.SetFiles(files[0], files[1], files[2]);
    dialog.exec();  // however it closes, the choices made count
    return {dialog.choiceR, dialog.choiceG, dialog.choiceB};
}

bool WidgetDialogs::AskMethodSettings(MethodSettings& settings) {
    MethodOptionsDialog dialog(settings, parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    settings = dialog.Settings();
    return true;
}

}  // namespace pictora

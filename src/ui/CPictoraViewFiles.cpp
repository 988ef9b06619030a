// The form's file commands: Open, Save and files dropped on the form.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTabBar>
#include <QUrl>

#include "commands/ErrorText.h"
#include "commands/OpenCommand.h"
#include "commands/SaveCommand.h"
#include "display/ImagePicture.h"
#include "support/FileIO.h"
#include "ui/CPictoraView.h"

namespace pictora {

void CPictoraView::OnFileOpen() {
    RunTellingMemoryShortage([this] { RunOpenCommand(*this); });
}

void CPictoraView::OnFileSave() {
    RunTellingMemoryShortage([this] { RunSaveCommand(*this); });
}

void CPictoraView::OnExportResults() {
    RunTellingMemoryShortage([this] { ExportResults(); });
}

void CPictoraView::ExportResults() {
    if (history_.empty()) {
        dialogs_->ShowMessage(QString::fromUtf8("Ainda não há resultados para exportar."),
                              UserDialogs::Icon::Information);
        return;
    }
    const QString path = dialogs_->AskSavePath(QString::fromUtf8("Resultados (*.csv)"));
    if (path.isEmpty()) return;
    if (IsAnInput(*this, path)) {
        dialogs_->ShowMessage(InputReplacedText(path), UserDialogs::Icon::Information);
        return;
    }
    // The text pictora-cli train --results writes for the same run.
    const std::string text = ResultsCsvText(history_);
    const std::string file = path.toStdString();
    if (Status written = WriteFileAtomically(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        !written)
        dialogs_->ShowMessage(QString::fromUtf8("Não foi possível exportar os resultados para \"%1\".\n\n%2")
                                  .arg(path, PortugueseSentence(written.About(file))),
                              UserDialogs::Icon::Warning);
}

QStringList CPictoraView::InputPaths() const {
    QStringList paths = resultFiles_;
    if (!sourcePath_.isEmpty()) paths.prepend(sourcePath_);
    return paths;
}

// The tab handlers exchange the parameter fields; moving the tabs back must
// not, or edits not yet read would be thrown away (or prompted for). Only the
// pictures follow the tabs.
void CPictoraView::ResetImageTabs() {
    {
        const QSignalBlocker source(controls_.sourceTabs);
        const QSignalBlocker coded(controls_.codedTabs);
        controls_.sourceTabs->setCurrentIndex(0);
        controls_.codedTabs->setCurrentIndex(0);
    }
    controls_.sourcePicture->SetBitmap(displays_.GetDisplay(DisplaySlot::SourceColour));
    ShowCodedChannel();
    FillChart();
}

void CPictoraView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile()) event->acceptProposedAction();
}

void CPictoraView::dropEvent(QDropEvent* event) {
    if (OpenDropped(*event->mimeData())) event->acceptProposedAction();
}

bool CPictoraView::OpenDropped(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return false;
    OpenGiven({urls.first().toLocalFile()});
    return true;
}

void CPictoraView::OpenGiven(const QStringList& paths) {
    RunTellingMemoryShortage([&] { OpenPaths(*this, paths); });
}

}  // namespace pictora

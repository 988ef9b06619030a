// The form's file commands: Open, Save and files dropped on the form.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTabBar>
#include <QUrl>

#include "commands/OpenCommand.h"
#include "commands/SaveCommand.h"
#include "display/ImagePicture.h"
#include "ui/CPictoraView.h"

namespace pictora {

void CPictoraView::OnFileOpen() { RunOpenCommand(*this); }

void CPictoraView::OnFileSave() { RunSaveCommand(*this); }

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
    OpenPaths(*this, {urls.first().toLocalFile()});
    return true;
}

}  // namespace pictora

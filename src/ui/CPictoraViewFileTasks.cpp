// The form's loads and saves: they run on the worker, so a large photo or a
// slow disk never freezes the window; meanwhile the form shows that it is
// busy and refuses what cannot run alongside.
#include <QComboBox>
#include <new>

#include "commands/ErrorText.h"
#include "commands/SaveCommand.h"
#include "ui/CPictoraView.h"

namespace pictora {

bool CPictoraView::LoadImage(const QString& path) {
    return StartFileTask(FileTask::Loading, LoadImageRequest{path.toStdString()},
                         "Aguarde o fim do passo em andamento para carregar outra imagem.");
}

bool CPictoraView::SaveResult(ResultFileKind kind, const QString& path) {
    return StartFileTask(FileTask::Saving, SaveResultRequest{kind, path.toStdString()},
                         "Aguarde o fim do passo em andamento para salvar.");
}

QString CPictoraView::BusyText() const {
    switch (fileTask_) {
        case FileTask::Loading: return QString::fromUtf8("Carregando imagem...");
        case FileTask::Saving: return QString::fromUtf8("Salvando arquivo...");
        case FileTask::None: break;
    }
    return {};
}

QString CPictoraView::FileTaskWait() const {
    switch (fileTask_) {
        case FileTask::Loading: return QString::fromUtf8("Aguarde o fim do carregamento da imagem.");
        case FileTask::Saving: return QString::fromUtf8("Aguarde o fim da gravação do arquivo.");
        case FileTask::None: break;
    }
    return {};
}

// The worker takes one command at a time: a load or save under way is told
// by its own text, any other command by `busyText`.
bool CPictoraView::StartFileTask(FileTask task, WorkerRequest request, const char* busyText) {
    QString refusal = FileTaskWait();
    if (refusal.isEmpty() && !worker_->Post(std::move(request))) refusal = QString::fromUtf8(busyText);
    if (!refusal.isEmpty()) {
        dialogs_->ShowMessage(refusal, UserDialogs::Icon::Information);
        return false;
    }
    fileTask_ = task;
    setCursor(Qt::WaitCursor);
    emit BusyChanged(BusyText());
    return true;
}

void CPictoraView::EndFileTask() {
    fileTask_ = FileTask::None;
    unsetCursor();
    emit BusyChanged(QString());
}

// The form is no longer busy before it tells what happened.
void CPictoraView::TakeFileTask(const WorkerOutcome& outcome) {
    EndFileTask();
    bool done = false;
    try {
        if (const auto* load = std::get_if<LoadOutcome>(&outcome)) done = HandleLoadDone(*load);
        else done = HandleSaveDone(std::get<SaveOutcome>(outcome));
    } catch (const std::bad_alloc&) {
        TellMemoryShortage(QString());
    }
    worker_->OutcomeTaken();
    emit FileTaskEnded(done);
}

bool CPictoraView::HandleLoadDone(const LoadOutcome& outcome) {
    const QString path = QString::fromStdString(outcome.path);
    if (const Status& status = outcome.status; !status) {
        dialogs_->ShowMessage(QString::fromUtf8("Não foi possível carregar a imagem \"%1\".\n\n%2")
                                  .arg(path, PortugueseSentence(status)),
                              UserDialogs::Icon::Warning);
        ResetImageTabs();
        return false;
    }
    sourcePath_ = path;
    studySource_ = outcome.source;
    BuildSourcePictures(path);
    for (QComboBox* list : controls_.blockSize) {
        list->clear();
        for (int side = 2; side <= 12; ++side) list->addItem(QString::asprintf("%i X %i", side, side));
        list->setCurrentIndex(6);
    }
    controls_.filterType->clear();
    controls_.filterType->addItem(QString::fromUtf8("Não Filtrar"));
    controls_.filterType->addItem(QString::fromUtf8("Retangular"));
    controls_.filterType->setCurrentIndex(0);
    widthText_ = QString::asprintf("%i", outcome.width);
    heightText_ = QString::asprintf("%i", outcome.height);
    WriteFields();
    ShowSourceChannel();
    flags_.imageReloaded = true;
    SourceChanged();
    return true;
}

// The image is loaded for coding even when there is no memory left to show
// it (the worker could not copy it, or its pictures cannot be built): its
// pictures stay empty, and the user is told.
void CPictoraView::BuildSourcePictures(const QString& path) {
    try {
        if (studySource_) {
            displays_.BuildSourceDisplays(compressor_.SourceImage());
            return;
        }
    } catch (const std::bad_alloc&) {
        // told below, as for an image the worker could not copy
    }
    displays_.FreeDisplays();
    TellMemoryShortage(QString::fromUtf8("Não foi possível mostrar a imagem \"%1\".").arg(path));
}

bool CPictoraView::HandleSaveDone(const SaveOutcome& outcome) {
    if (outcome.status) return true;
    dialogs_->ShowMessage(SaveFailedText(QString::fromStdString(outcome.path), outcome.status),
                          UserDialogs::Icon::Warning);
    return false;
}

}  // namespace pictora

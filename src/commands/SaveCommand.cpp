#include "commands/SaveCommand.h"

#include "commands/CommandTarget.h"
#include "commands/ErrorText.h"
#include "commands/UserDialogs.h"
#include "pipeline/CodingWorker.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"

namespace pictora {

const char* const kSaveFilter =
    "Imagens Codificadas (*.mqc);;Imagens Codificadas (Huffman) (*.huf);;Imagens Codificadas (Aritmético) (*.art);;"
    "Imagens Codificadas (Contextual) (*.mqz);;CodeBook (*.cod);;Imagens (*.png)";

namespace {

const char* const kExtensionHelp =
    "Você deve digitar a extensão, por exemplo: \n exemplo.mqc -> salva sem codificação de entropia\n exemplo.huf -> "
    "Utiliza algoritmo HUFFMAN\n exemplo.art -> Utiliza codificador aritmético\n exemplo.mqz -> Utiliza o "
    "codificador contextual";

}  // namespace

bool IsAnInput(const CommandTarget& target, const QString& path) {
    for (const QString& input : target.InputPaths())
        if (SameFile(path.toStdString(), input.toStdString())) return true;
    return false;
}

QString InputReplacedText(const QString& path) {
    return QString::fromUtf8("O arquivo \"%1\" foi lido para obter a imagem ou o resultado atual e não pode ser "
                             "substituído: digite outro nome.")
        .arg(path);
}

QString SaveFailedText(const QString& path, const Status& status) {
    return QString::fromUtf8("Não foi possível salvar o arquivo \"%1\".\n\n%2").arg(path, PortugueseSentence(status));
}

void RunSaveCommand(CommandTarget& target) {
    UserDialogs& dialogs = target.Dialogs();
    for (;;) {
        const QString path = dialogs.AskSavePath(QString::fromUtf8(kSaveFilter));
        if (path.isEmpty()) return;
        if (!target.HasResult()) return;  // nothing coded yet
        if (const QString wait = target.FileTaskWait(); !wait.isEmpty()) {
            dialogs.ShowMessage(wait, UserDialogs::Icon::Information);
            return;
        }
        if (!target.Worker().IsIdle()) {
            dialogs.ShowMessage(QString::fromUtf8("Aguarde o fim do passo em andamento para salvar."),
                                UserDialogs::Icon::Information);
            return;
        }
        const ResultFileKind kind = ResultFileKindOf(path.toStdString());
        if (kind == ResultFileKind::Unknown) {
            dialogs.ShowMessage(QString::fromUtf8(kExtensionHelp), UserDialogs::Icon::Information);
            continue;
        }
        if (IsAnInput(target, path)) {
            dialogs.ShowMessage(InputReplacedText(path), UserDialogs::Icon::Information);
            continue;
        }
        target.SaveResult(kind, path);
        return;
    }
}

}  // namespace pictora

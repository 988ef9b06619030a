#include "commands/SaveCommand.h"

#include "commands/CommandTarget.h"
#include "commands/ErrorText.h"
#include "commands/UserDialogs.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/MqKohonenThread.h"
#include "pipeline/ResultFiles.h"

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

void RunSaveCommand(CommandTarget& target) {
    UserDialogs& dialogs = target.Dialogs();
    for (;;) {
        const QString path = dialogs.AskSavePath(QString::fromUtf8(kSaveFilter));
        if (path.isEmpty()) return;
        if (!target.Compressor().HasReconstruction()) return;  // nothing coded yet
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
        if (Status status = WriteResultFile(target.Compressor(), kind, path.toStdString()); !status)
            dialogs.ShowMessage(QString::fromUtf8("Não foi possível salvar o arquivo \"%1\".\n\n%2")
                                    .arg(path, PortugueseSentence(status)),
                                UserDialogs::Icon::Warning);
        return;
    }
}

}  // namespace pictora

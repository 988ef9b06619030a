#include "commands/OpenCommand.h"

#include <array>

#include "commands/CommandTarget.h"
#include "commands/UserDialogs.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/CodingWorker.h"
#include "pipeline/ResultFiles.h"

namespace pictora {

const char* const kOpenFilter =
    "Imagens (*.png);;Imagens Codificadas (Sem Compressão) (*.mqc);;Imagens Codificadas (Huffman) (*.huf);;"
    "Imagens Codificadas (Aritmético) (*.art);;Imagens Codificadas (Contextual) (*.mqz);;CodeBook (*.cod)";

const char* const kLoadAnImageFirst = "Inicialmente você precisa carregar uma imagem";
const char* const kEarlierCommandRunning =
    "O processamento anterior ainda não terminou. Tente novamente quando ele acabar.";

namespace {

void Tell(CommandTarget& target, const char* text, UserDialogs::Icon icon = UserDialogs::Icon::Information) {
    target.Dialogs().ShowMessage(QString::fromUtf8(text), icon);
}

// A request the worker refused: it is still busy with an earlier one.
void TellWhenRefused(CommandTarget& target, bool accepted) {
    if (!accepted) Tell(target, kEarlierCommandRunning);
}

void DecodeFile(CommandTarget& target, const std::string& path) {
    TellWhenRefused(target, target.Worker().Post(DecodeFileRequest{path}));
}

// Codebooks of different colour spaces code every channel in the colour
// space of the first: the user is warned, and they are applied as chosen.
// Files that cannot be read are told by the worker that applies them.
void WarnOfMixedColourSpaces(CommandTarget& target, const std::array<std::string, 3>& files,
                             const std::array<int, 3>& positions) {
    std::array<ColorSpace, 3> spaces{};
    if (!ReadChosenColourSpaces(files, positions, spaces)) return;
    if (spaces[1] == spaces[0] && spaces[2] == spaces[0]) return;
    Tell(target,
         "Os codebooks escolhidos não são do mesmo espaço de cores: todos os canais serão codificados no espaço de "
         "cores do codebook do canal R/Y.",
         UserDialogs::Icon::Warning);
}

void OpenCodebooks(CommandTarget& target, const QStringList& paths) {
    if (!target.HasImage()) {
        Tell(target, kLoadAnImageFirst);
        return;
    }
    if (paths.size() == 1) {
        const std::string file = paths[0].toStdString();
        WarnOfMixedColourSpaces(target, {file, file, file}, {1, 2, 3});
        TellWhenRefused(target, target.Worker().Post(ApplyCodebookRequest{file}));
        return;
    }
    if (paths.size() != 3) {
        Tell(target,
             "Inicialmente você deve selecionar 1 arquivo ou 3 arquivos para carregar o codebook de três "
             "arquivos distintos ");
        return;
    }
    // The last file chosen feeds R/Y, the first B/Cr.
    const std::array<QString, 3> rows = {paths[2], paths[1], paths[0]};
    const std::array<int, 3> choices = target.Dialogs().AskCodebookOrder(rows);
    const std::array<std::string, 3> files = {rows[0].toStdString(), rows[1].toStdString(), rows[2].toStdString()};
    WarnOfMixedColourSpaces(target, files, choices);
    TellWhenRefused(target, target.Worker().Post(ApplyCodebookSectionsRequest{files, choices}));
}

}  // namespace

void RunOpenCommand(CommandTarget& target) {
    const QStringList paths = target.Dialogs().AskOpenPaths(QString::fromUtf8(kOpenFilter));
    if (paths.isEmpty()) {
        target.ResetImageTabs();
        return;
    }
    OpenPaths(target, paths);
}

void OpenPaths(CommandTarget& target, const QStringList& paths) {
    if (paths.isEmpty()) return;
    const QString& first = paths[0];
    const ResultFileKind kind = ResultFileKindOf(first.toStdString());
    if (kind == ResultFileKind::Png) {
        if (!target.LoadImage(first)) target.ResetImageTabs();
        return;
    }
    std::string path = first.toStdString();
    switch (kind) {
        case ResultFileKind::Coded:
        case ResultFileKind::Huffman:
        case ResultFileKind::Arithmetic:
        case ResultFileKind::Contextual: DecodeFile(target, path); break;
        case ResultFileKind::Codebook: OpenCodebooks(target, paths); break;
        default: target.Dialogs().ShowMessage(QString::fromUtf8("Arquivo Inválido"), UserDialogs::Icon::None); break;
    }
    target.ResetImageTabs();
}

}  // namespace pictora

#include "commands/ErrorText.h"

namespace pictora {

QString PortugueseSentence(const Status& status) {
    const char* text = "";
    switch (status.kind()) {
        case ErrorKind::FileAccess:
            text = "O sistema não permitiu abrir, ler ou gravar o arquivo (verifique o caminho e as permissões).";
            break;
        case ErrorKind::DamagedFile: text = "O arquivo está danificado, incompleto ou não é do tipo esperado."; break;
        case ErrorKind::UnsupportedImage:
            text = "A imagem não é suportada: use uma imagem PNG RGB de 8 ou 16 bits, sem transparência, com no "
                   "máximo 65535 pixels de lado.";
            break;
        case ErrorKind::OutOfMemory: text = "Não há memória suficiente para esta operação."; break;
        case ErrorKind::NoImage: text = "Inicialmente você precisa carregar uma imagem."; break;
        case ErrorKind::NothingCoded: text = "Ainda não há imagem codificada."; break;
        case ErrorKind::BlockTooLarge: text = "O bloco escolhido é maior que o plano do canal."; break;
        case ErrorKind::CodebookMismatch: text = "O codebook não serve para codificar esta imagem."; break;
        case ErrorKind::InvalidSetting: text = "Um dos parâmetros não pode ser usado."; break;
        case ErrorKind::CodecFailure: text = "A biblioteca do codificador de referência falhou."; break;
        case ErrorKind::Busy: text = "O processamento anterior ainda não terminou."; break;
    }
    return QString::fromUtf8(text);
}

QString PortugueseReason(const Status& status) {
    QString reason = PortugueseSentence(status);
    if (!status.subject().empty())
        reason = QString::fromUtf8("%1\n\nArquivo: %2").arg(reason, QString::fromStdString(status.subject()));
    return reason;
}

}  // namespace pictora

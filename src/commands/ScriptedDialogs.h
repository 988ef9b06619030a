#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <deque>
#include <vector>

#include "commands/UserDialogs.h"
#include "pipeline/MethodSettings.h"

namespace pictora {

// Answers the form's questions from prepared queues and records its
// messages: how scripted sessions and tests drive the form without modal
// loops. An empty queue answers as a cancelled dialog would (the codebook
// order, with the choices the dialog starts with; the method's options,
// cancelled).
class ScriptedDialogs : public UserDialogs {
public:
    struct Script {
        std::deque<QStringList> openAnswers;
        std::deque<QString> saveAnswers;
        std::deque<std::array<int, 3>> orderAnswers;
        std::deque<MethodSettings> methodAnswers;
        std::vector<QString> messages;
        std::vector<std::array<QString, 3>> orderQuestions;
        int saveQuestions = 0;
        int methodQuestions = 0;
    };

    // The script outlives the dialogs; its owner reads what was recorded.
    explicit ScriptedDialogs(Script& script) : script_(script) {}

    void ShowMessage(const QString& text, Icon icon) override;
    QStringList AskOpenPaths(const QString& filter) override;
    QString AskSavePath(const QString& filter) override;
    std::array<int, 3> AskCodebookOrder(const std::array<QString, 3>& files) override;
    bool AskMethodSettings(MethodSettings& settings) override;

private:
    Script& script_;
};

}  // namespace pictora

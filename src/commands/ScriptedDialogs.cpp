#include "commands/ScriptedDialogs.h"

namespace pictora {
namespace {

template <typename T>
T Pop(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

}  // namespace

void ScriptedDialogs::ShowMessage(const QString& text, Icon) { script_.messages.push_back(text); }

QStringList ScriptedDialogs::AskOpenPaths(const QString&) { return Pop(script_.openAnswers, QStringList{}); }

QString ScriptedDialogs::AskSavePath(const QString&) {
    ++script_.saveQuestions;
    return Pop(script_.saveAnswers, QString{});
}

std::array<int, 3> ScriptedDialogs::AskCodebookOrder(const std::array<QString, 3>& files) {
    script_.orderQuestions.push_back(files);
    return Pop(script_.orderAnswers, std::array<int, 3>{1, 2, 3});
}

bool ScriptedDialogs::AskMethodSettings(MethodSettings& settings) {
    ++script_.methodQuestions;
    if (script_.methodAnswers.empty()) return false;
    settings = script_.methodAnswers.front();
    script_.methodAnswers.pop_front();
    return true;
}

}  // namespace pictora

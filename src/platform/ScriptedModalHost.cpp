#include "platform/ScriptedModalHost.h"

#include <utility>

namespace {

// Takes the first queued answer. The answer is moved into a result that already
// exists, which keeps gcc's uninitialised-use analysis quiet about the optionals.
template <typename T> T takeFront(std::deque<T>& queue)
{
    T answer{};
    std::swap(answer, queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

MsgAnswer ScriptedModalHost::messageBox(QWidget*, const MessageBoxRequest& request)
{
    shownMessages.push_back(request);
    if (messageAnswers.empty()) {
        unexpected << QStringLiteral("message box: ") + request.text;
        return request.buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
    }
    return takeFront(messageAnswers);
}

std::optional<QString> ScriptedModalHost::fileDialog(QWidget*, const FileDialogRequest& request)
{
    shownFileDialogs.push_back(request);
    if (fileAnswers.empty()) {
        unexpected << QStringLiteral("file dialog");
        return std::nullopt;
    }
    return takeFront(fileAnswers);
}

std::optional<FontChoice> ScriptedModalHost::fontDialog(QWidget*, const FontDialogRequest& request)
{
    shownFontDialogs.push_back(request);
    if (fontAnswers.empty()) {
        unexpected << QStringLiteral("font dialog");
        return std::nullopt;
    }
    return takeFront(fontAnswers);
}

void ScriptedModalHost::execDialog(QDialog& dialog)
{
    shownDialogs.push_back(dialog.objectName());
    if (dialogActions.empty()) {
        unexpected << QStringLiteral("dialog: ") + dialog.objectName();
        dialog.close();
        return;
    }
    takeFront(dialogActions)(dialog);
}

#include "platform/ScriptedModalHost.h"

MsgAnswer ScriptedModalHost::messageBox(QWidget*, const MessageBoxRequest& request)
{
    shownMessages.push_back(request);
    if (messageAnswers.empty()) {
        unexpected << QStringLiteral("message box: ") + request.text;
        return request.buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
    }
    const MsgAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedModalHost::fileDialog(QWidget*, const FileDialogRequest& request)
{
    shownFileDialogs.push_back(request);
    if (fileAnswers.empty()) {
        unexpected << QStringLiteral("file dialog");
        return std::nullopt;
    }
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<FontChoice> ScriptedModalHost::fontDialog(QWidget*, const FontDialogRequest& request)
{
    shownFontDialogs.push_back(request);
    if (fontAnswers.empty()) {
        unexpected << QStringLiteral("font dialog");
        return std::nullopt;
    }
    auto answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer;
}

void ScriptedModalHost::execDialog(QDialog& dialog)
{
    shownDialogs.push_back(dialog.objectName());
    if (dialogActions.empty()) {
        unexpected << QStringLiteral("dialog: ") + dialog.objectName();
        dialog.close();
        return;
    }
    auto action = std::move(dialogActions.front());
    dialogActions.pop_front();
    action(dialog);
}

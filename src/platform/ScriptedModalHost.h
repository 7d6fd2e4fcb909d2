#pragma once

#include "platform/ModalHost.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// The test double for everything modal: tests queue the answers, run a command, and
// then read back what each box and dialog was asked to show. An answer that was not
// queued counts as cancelled and is recorded in `unexpected`.
class ScriptedModalHost final : public ModalHost {
public:
    // Answers, consumed in order, one queue per kind of modal UI.
    std::deque<MsgAnswer> messageAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    // Each runs against one of the editor's own dialogs while it is "shown"; it fills
    // the controls and clicks or closes. Without one the dialog is closed.
    std::deque<std::function<void(QDialog&)>> dialogActions;

    // What was shown, in order.
    std::vector<MessageBoxRequest> shownMessages;
    std::vector<FileDialogRequest> shownFileDialogs;
    std::vector<FontDialogRequest> shownFontDialogs;
    std::vector<QString> shownDialogs;   // object names of the dialogs shown
    QStringList unexpected;              // modal UI shown with no answer queued

    MsgAnswer messageBox(QWidget* parent, const MessageBoxRequest& request) override;
    std::optional<QString> fileDialog(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<FontChoice> fontDialog(QWidget* parent, const FontDialogRequest& request) override;
    void execDialog(QDialog& dialog) override;
};

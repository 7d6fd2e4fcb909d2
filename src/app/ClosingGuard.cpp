// The closing guard, and the unsaved-changes prompt it shares with Open and New.
#include "app/AppState.h"
#include "platform/ModalHost.h"
#include "ui/Form1.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>

void Form1::closeEvent(QCloseEvent* event)
{
    // Every close comes here alike: Exit, the close box, the window manager, the end
    // of the session. A save that did not complete keeps the window open.
    if (offerToSave(OnNo::KeepTextChanged))
        event->accept();
    else
        event->ignore();
}

void Form1::guardSessionEnd()
{
    // Qt asks for the session's data but closes no window on its own: the guard runs
    // here, and a refusal (Cancel, or a save that did not complete) keeps the session.
    connect(
        qGuiApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& manager) {
            if (!isVisible())
                return;
            if (!manager.allowsInteraction()) {
                if (App.TextChanged)
                    manager.cancel();
                return;
            }
            const bool closed = close();
            manager.release();
            if (!closed)
                manager.cancel();
        },
        Qt::DirectConnection);
}

bool Form1::offerToSave(OnNo onNo)
{
    if (!App.TextChanged)
        return true;
    const MessageBoxRequest prompt{QStringLiteral("Do You Want To Save The File"),
                                   QStringLiteral("Warning! Text Has Changed"),
                                   MsgButtons::YesNoCancel,
                                   MsgIcon::Exclamation,
                                   {},
                                   0};
    switch (host_.messageBox(this, prompt)) {
    case MsgAnswer::Yes:
        // The text the user asked to keep must not be thrown away: a cancelled or
        // failed save stops the command as Cancel would.
        return saveDocument();
    case MsgAnswer::No:
        if (onNo == OnNo::ClearTextChanged)
            App.TextChanged = false;
        return true;
    default: // Cancel, or the box closed without an answer
        return false;
    }
}

// Cut, Copy and Paste: plain text between the selection and the system clipboard.
#include "app/AppState.h"
#include "platform/Clipboard.h"
#include "platform/ModalHost.h"
#include "platform/RichTextBox.h"
#include "ui/Form1.h"

void Form1::EditCut()
{
    Clipboard::SetText(RichTextBox1->SelText());
    RichTextBox1->setSelText(QString());
    // Even with nothing selected: the command itself counts as a change.
    App.TextChanged = true;
}

void Form1::EditCopy()
{
    Clipboard::SetText(RichTextBox1->SelText());
}

void Form1::EditPaste()
{
    if (Clipboard::GetFormat(Clipboard::TextFormat)) {
        RichTextBox1->setSelText(Clipboard::GetText(Clipboard::TextFormat));
        App.TextChanged = true;
    } else {
        host().messageBox(
            this,
            {QStringLiteral("There is no text on the Clipboard."), QString(), MsgButtons::OK, MsgIcon::None, {}, 0});
    }
}

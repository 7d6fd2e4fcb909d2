// The new-document command: an empty document without a file.
#include "app/AppState.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "ui/Form1.h"

void Form1::FileNew()
{
    if (!offerToSave(OnNo::ClearTextChanged))
        return;
    // Emptying is no typing: TextChanged stays as the prompt left it. The open dialog's
    // name field still remembers the last file.
    RichTextBox1->setText(QString());
    RichTextBox1->Refresh();
    for (int panel = 1; panel <= 3; ++panel)
        StatusBar1->setPanelText(panel, QString());
    App.CurrentFileName.clear();
}

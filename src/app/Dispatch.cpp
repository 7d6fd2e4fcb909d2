// The toolbar's dispatch by key, and the commands that stand on their own: Help,
// About and Exit.
#include "platform/ModalHost.h"
#include "ui/Form1.h"
#include "ui/frmAbout.h"

void Form1::Toolbar1_ButtonClick(const QString& key)
{
    const struct {
        const char* key;
        void (Form1::*command)();
    } table[] = {
        {"bNew", &Form1::FileNew},     {"bOpen", &Form1::FileOpen},   {"bSave", &Form1::FileSave},
        {"bPrint", &Form1::FilePrint}, {"bExit", &Form1::FileExit},   {"bCut", &Form1::EditCut},
        {"bCopy", &Form1::EditCopy},   {"bPaste", &Form1::EditPaste}, {"bFind", &Form1::SearchFind},
        {"bFont", &Form1::OptionsFont},
    };
    for (const auto& entry : table) {
        if (key == QLatin1String(entry.key)) {
            (this->*entry.command)();
            return;
        }
    }
}

void Form1::Help()
{
    host_.messageBox(this, {QStringLiteral("For This Price You've Got To Be Kidding!"), QStringLiteral("Corvana Help"),
                            MsgButtons::OK, MsgIcon::Exclamation, {}, 0});
}

void Form1::About()
{
    frmAbout dialog(this);
    host_.execDialog(dialog);
}

void Form1::FileExit()
{
    close();
}

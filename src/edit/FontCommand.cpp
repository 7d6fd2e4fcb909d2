// The Font command: the whole document gets the chosen font's name and size.
#include "platform/RichTextBox.h"
#include "ui/Form1.h"

void Form1::OptionsFont()
{
    const int start = RichTextBox1->SelStart();
    CommonDialog1.Flags = 1;
    // A cancelled dialog leaves the document as it was, whatever cancel reporting says.
    if (!CommonDialog1.ShowFont())
        return;
    RichTextBox1->setSelStart(0);
    RichTextBox1->setSelLength(RichTextBox1->TextLength());
    // Only name and size: a style chosen in the dialog is not applied, and the text's
    // other formatting stays.
    RichTextBox1->setSelFontName(CommonDialog1.FontName);
    RichTextBox1->setSelFontSize(CommonDialog1.FontSize);
    RichTextBox1->Refresh();
    RichTextBox1->setSelLength(0);
    RichTextBox1->setSelStart(start);
}

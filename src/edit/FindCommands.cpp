// Find and Find Again. Neither wraps around at the end of the text nor reports a miss.
#include "app/AppState.h"
#include "platform/ModalHost.h"
#include "platform/RichTextBox.h"
#include "ui/Form1.h"
#include "ui/frmFind.h"

void Form1::SearchFind()
{
    {
        frmFind dialog(this);
        host().execDialog(dialog);
    }
    // From the selection's start: a match still selected is found again.
    RichTextBox1->Find(App.SearchText, RichTextBox1->SelStart(), -1, App.SearchOptions);
}

void Form1::SearchAgain()
{
    const int oldStart = RichTextBox1->SelStart();
    // One character beyond the selection's end, so a match right at the caret is skipped.
    RichTextBox1->setSelStart(RichTextBox1->SelStart() + RichTextBox1->SelLength() + 1);
    RichTextBox1->setSelLength(0);
    if (RichTextBox1->Find(App.SearchText, RichTextBox1->SelStart(), -1, App.SearchOptions) == -1)
        RichTextBox1->setSelStart(oldStart);
}

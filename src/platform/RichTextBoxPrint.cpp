// The control's page formatter request; the formatter itself lives in PageFormatter.
#include "platform/PageFormatter.h"
#include "platform/RichTextBox.h"

int RichTextBox::FormatRange(bool render, const FormatRangeRequest* request)
{
    auto* formatter = findChild<PageFormatter*>(QString(), Qt::FindDirectChildrenOnly);
    if (!request) {
        delete formatter;
        return 0;
    }
    if (!formatter)
        formatter = new PageFormatter(this);
    return formatter->formatPage(*document(), *request, render);
}

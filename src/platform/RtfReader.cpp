#include "platform/RtfReader.h"

#include <QTextDocument>

void readRtf(QByteArrayView rtf, QTextDocument& document)
{
    // Interim: the full reader replaces this.
    document.clear();
    (void)rtf;
}

#pragma once

#include <QByteArrayView>

class QTextDocument;

// Reads Rich Text Format into a document, replacing its content. Any input loads:
// what can't be read is shown as far as it was read.
void readRtf(QByteArrayView rtf, QTextDocument& document);

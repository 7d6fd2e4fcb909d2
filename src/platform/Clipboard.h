#pragma once

#include <QString>

// The system clipboard in its text format. Line ends follow the platform's convention
// at the edge: text handed to other programs ends its lines with LF.
namespace Clipboard {
constexpr int TextFormat = 1;
void SetText(const QString& text);
bool GetFormat(int format);
QString GetText(int format);
} // namespace Clipboard

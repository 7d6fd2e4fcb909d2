#pragma once

#include <QString>

// What the open and save commands share.
namespace DocumentFile {

// The filter list of both file dialogs.
inline QString filter()
{
    return QStringLiteral("text (*.txt)|*.txt|ini (*.ini)|*.ini|all (*.*)|*.*");
}

inline QString title()
{
    return QStringLiteral("Corvana");
}

} // namespace DocumentFile

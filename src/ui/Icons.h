#pragma once

#include <QIcon>
#include <QImage>

// The editor's own pixel art.
namespace Icons {
// Toolbar picture 1 to 10 (blank sheet, open folder, floppy disk, scissors, two
// sheets, clipboard, binoculars, ABC, printer, arrow into a door): 16 x 16 on the
// mask colour, light grey 192, 192, 192.
QImage toolbarImage(int index);
// The window icon: a marbled composition notebook with a blank white label, 32 x 32
// and 16 x 16, 16 colours.
QIcon windowIcon();
// One size of the window icon, 32 or 16, transparent around the notebook.
QImage windowIconImage(int size);
} // namespace Icons

#include "ui/Icons.h"

#include <QPainter>

namespace Icons {

QImage toolbarImage(int index)
{
    // Interim: the drawn pictures replace this.
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    p.drawText(image.rect(), Qt::AlignCenter, QString::number(index));
    return image;
}

QIcon windowIcon()
{
    return QIcon(QPixmap::fromImage(toolbarImage(0)));
}

} // namespace Icons

#include "platform/ImageList.h"

#include <QBitmap>
#include <QPixmap>

ImageList::ImageList(QSize imageSize, QColor maskColor) : size_(imageSize), mask_(maskColor) {}

void ImageList::add(const QImage& image)
{
    QPixmap pixmap = QPixmap::fromImage(image.scaled(size_));
    pixmap.setMask(pixmap.createMaskFromColor(mask_, Qt::MaskInColor));
    images_.push_back(QIcon(pixmap));
}

QIcon ImageList::icon(int index) const
{
    if (index < 1 || index > count())
        return {};
    return images_[index - 1];
}

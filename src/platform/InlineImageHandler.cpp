#include "platform/InlineImageHandler.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QVariant>

namespace {

QImage imageOf(QTextDocument* doc, const QTextImageFormat& format)
{
    const QVariant data = doc->resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (data.userType() == QMetaType::QImage)
        return data.value<QImage>();
    if (data.userType() == QMetaType::QPixmap)
        return data.value<QPixmap>().toImage();
    if (data.userType() == QMetaType::QByteArray)
        return QImage::fromData(data.toByteArray());
    return {};
}

} // namespace

QSizeF InlineImageHandler::intrinsicSize(QTextDocument* doc, int, const QTextFormat& format)
{
    const QTextImageFormat image = format.toImageFormat();
    const bool hasWidth = image.hasProperty(QTextFormat::ImageWidth);
    const bool hasHeight = image.hasProperty(QTextFormat::ImageHeight);
    if (hasWidth && hasHeight)
        return {image.width(), image.height()};
    const QSizeF natural = imageOf(doc, image).size();
    if (natural.isEmpty())
        return {hasWidth ? image.width() : 16.0, hasHeight ? image.height() : 16.0};
    if (hasWidth)
        return {image.width(), natural.height() * image.width() / natural.width()};
    if (hasHeight)
        return {natural.width() * image.height() / natural.height(), image.height()};
    return natural;
}

void InlineImageHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                                    const QTextFormat& format)
{
    const QImage image = imageOf(doc, format.toImageFormat());
    if (image.isNull()) {
        // A missing picture still shows where it stands.
        painter->save();
        painter->setPen(Qt::gray);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    painter->drawImage(rect, image);
}

#pragma once

#include <QObject>
#include <QTextObjectInterface>

// Sizes and draws the images that stand inline in a document's text. The image comes
// from the document's resources under the format's name and is drawn at the format's
// width and height; a side that is not given follows the image's own proportions.
class InlineImageHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit InlineImageHandler(QObject* parent = nullptr) : QObject(parent) {}

    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;
};

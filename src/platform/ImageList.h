#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QSize>

#include <vector>

// ImageList1: images of one size; pixels of the mask colour are drawn transparent.
class ImageList {
public:
    ImageList(QSize imageSize, QColor maskColor);
    void add(const QImage& image);
    int count() const { return int(images_.size()); }
    QIcon icon(int index) const;   // counted from 1

private:
    QSize size_;
    QColor mask_;
    std::vector<QIcon> images_;
};

#pragma once

#include <QList>
#include <QPixmap>
#include <QSize>

// A list of equal-sized images, addressed by index ("IDX:n" in the markup).
class TImageList
{
public:
    TImageList(int width, int height)
        : FWidth(width)
        , FHeight(height)
    { }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    QSize Size() const { return {FWidth, FHeight}; }
    int Count() const { return int(FImages.size()); }

    // Adds the image scaled to the list's size; returns its index.
    int Add(const QPixmap &image)
    {
        FImages.append(image.size() == Size()
                           ? image
                           : image.scaled(Size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        return Count() - 1;
    }
    const QPixmap &Image(int index) const { return FImages.at(index); }
    void Clear() { FImages.clear(); }

private:
    int FWidth;
    int FHeight;
    QList<QPixmap> FImages;
};

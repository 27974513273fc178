#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

// A picture drawn twice, at its own size and at twice that size, and what a screen of any
// device pixel ratio shows of it. Pictures without an alpha channel keep the colour of their
// bottom-left pixel as their transparent key colour at every ratio.
class TScalablePicture
{
public:
    TScalablePicture() = default;
    // The picture at its own size only; a ratio above one shows it enlarged.
    TScalablePicture(const QImage &normal); // NOLINT(google-explicit-constructor)
    TScalablePicture(const QImage &normal, const QImage &doubled);

    // "<path>" and, when it exists, "<name>@2x.<suffix>" beside it, else "<name>@2x.png" (a
    // picture kept as raw pixels may have its larger drawing compressed). The doubled drawing is
    // decoded when a ratio above one first asks for it, once for all copies of the picture:
    // a screen of normal density never pays for it.
    static TScalablePicture FromFile(const QString &path);

    bool IsNull() const { return FNormal.isNull(); }
    const QImage &Normal() const { return FNormal; }
    const QImage &Doubled() const;
    // The size in logical pixels.
    QSize Size() const { return FNormal.size(); }

    // The picture in device pixels for `ratio` device pixels per logical pixel: the normal
    // picture at 1, the doubled one at 2, and the doubled one resampled to
    // round(Size() * ratio) pixels in between; its devicePixelRatio is the ratio it was made for.
    QImage ForRatio(qreal ratio) const;

private:
    // The doubled drawing, shared by the copies of a picture; read from its file on first use.
    struct TDoubled
    {
        QString Path;
        QImage Image;
    };

    QImage FNormal;
    std::shared_ptr<TDoubled> FDoubled;
};

#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

#include <memory>

// One picture, possibly empty. Loading never throws: a failure leaves the picture empty and
// the reason in LoadError().
class TPicture
{
public:
    bool IsEmpty() const { return FPixmap.isNull(); }
    QSize Size() const { return FPixmap.size(); }
    const QPixmap &Pixmap() const { return FPixmap; }
    void SetPixmap(const QPixmap &pixmap) { FPixmap = pixmap; }
    const QString &LoadError() const { return FLoadError; }

    bool LoadFromFile(const QString &path);
    // A name in the program's resources, without the leading ":/".
    bool LoadFromResource(const QString &name);

private:
    bool load(const QString &path, bool resource);

    QPixmap FPixmap;
    QString FLoadError;
};

// Pictures loaded by address, kept under their full source text until Clear().
class TPictureCache
{
public:
    TPicture *FindPicture(const QString &source) const;
    // Adds an empty picture under source (or returns the one already there).
    TPicture *AddPicture(const QString &source);
    // The picture for a "RES://name" or "FILE://path" source, loaded on first use. Any other
    // address is remembered but never fetched, so its picture stays empty.
    TPicture *Picture(const QString &source);
    // The folder that relative "FILE://" paths are read from, rather than the working folder
    // (a desktop launcher starts the program in the home folder). Changing it clears the cache.
    void SetBaseFolder(const QString &folder);
    int Count() const { return int(FPictures.size()); }
    void Clear() { FPictures.clear(); }

private:
    QString FilePath(const QString &path) const;

    QHash<QString, std::shared_ptr<TPicture>> FPictures;
    QString FBaseFolder;
};

// Named pictures supplied by the widget owner (sources without ":" in the markup).
class TPictureContainer
{
public:
    void Add(const QString &name, const QPixmap &pixmap) { FPictures[name].SetPixmap(pixmap); }
    const TPicture *FindPicture(const QString &name) const;
    void Clear() { FPictures.clear(); }

private:
    QHash<QString, TPicture> FPictures;
};

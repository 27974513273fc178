#include "ui/windowfonts.h"

#include <QDir>
#include <QFontDatabase>

namespace {

// Debian's fonts-wine package ships metric look-alikes outside the font path.
const QString WineFontFolder = QStringLiteral("/usr/share/wine/fonts");

} // namespace

void RegisterWindowFonts()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf", "symbol.ttf"}) {
        const QString path = QDir(WineFontFolder).filePath(QString::fromLatin1(file));
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    const QStringList families = QFontDatabase::families();
    for (const QString &face : {QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")}) {
        if (!families.contains(face))
            QFont::insertSubstitution(face, QStringLiteral("DejaVu Sans"));
    }
    // "Square721 BT" is a wide, squarish sans with no free twin; DejaVu Sans is the widest
    // sans Debian installs by default, so the status line keeps its proportions best.
    QFont::insertSubstitution(QStringLiteral("Square721 BT"), QStringLiteral("DejaVu Sans"));
}

QFont WindowFont(const QString &face, int pixelHeight, bool bold)
{
    QFont font(face);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

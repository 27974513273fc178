#include "ui/windowfonts.h"

#include "platform/systemfonts.h"

#include <QFontDatabase>

void RegisterWindowFonts()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    for (const QString &path : LookAlikeFontFiles())
        QFontDatabase::addApplicationFont(path);
    const QStringList families = QFontDatabase::families();
    for (const QString &face : {QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")}) {
        if (!families.contains(face))
            QFont::insertSubstitution(face, QStringLiteral("DejaVu Sans"));
    }
    QFont::insertSubstitutions(QStringLiteral("Square721 BT"), WideSansStandIns());
}

QFont WindowFont(const QString &face, int pixelHeight, bool bold)
{
    QFont font(face);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

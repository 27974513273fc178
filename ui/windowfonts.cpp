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
    const QString tahoma = families.contains(QStringLiteral("Tahoma"))
        ? QStringLiteral("Tahoma")
        : QStringLiteral("DejaVu Sans");
    if (tahoma != u"Tahoma")
        QFont::insertSubstitution(QStringLiteral("Tahoma"), tahoma);
    // Where "MS Sans Serif" is only a bitmap face (or missing), its scalable relative draws it,
    // so that bold and every scale show as they should.
    if (!families.contains(QStringLiteral("MS Sans Serif"))
        || !QFontDatabase::isSmoothlyScalable(QStringLiteral("MS Sans Serif")))
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), tahoma);
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

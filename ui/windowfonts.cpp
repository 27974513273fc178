#include "ui/windowfonts.h"

#include "platform/systemfonts.h"

#include <QFontDatabase>
#include <QHash>

namespace {

// The family that draws each face of the windows' design on this system. A font asks for it by
// that name: a face the system lacks would first send the font matching through a search of the
// system's fallbacks, once for every size and weight, before the substitute is tried.
QHash<QString, QString> &drawnFamilies()
{
    static QHash<QString, QString> families;
    return families;
}

} // namespace

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
    QHash<QString, QString> &drawn = drawnFamilies();
    drawn.insert(QStringLiteral("Tahoma"), tahoma);
    if (tahoma != u"Tahoma")
        QFont::insertSubstitution(QStringLiteral("Tahoma"), tahoma);
    // Where "MS Sans Serif" is only a bitmap face (or missing), its scalable relative draws it,
    // so that bold and every scale show as they should.
    if (!families.contains(QStringLiteral("MS Sans Serif"))
        || !QFontDatabase::isSmoothlyScalable(QStringLiteral("MS Sans Serif"))) {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), tahoma);
        drawn.insert(QStringLiteral("MS Sans Serif"), tahoma);
    }
    const QStringList wideSans = WideSansStandIns();
    QFont::insertSubstitutions(QStringLiteral("Square721 BT"), wideSans);
    if (!families.contains(QStringLiteral("Square721 BT"))) {
        for (const QString &standIn : wideSans) {
            if (families.contains(standIn)) {
                drawn.insert(QStringLiteral("Square721 BT"), standIn);
                break;
            }
        }
    }
}

QFont WindowFont(const QString &face, int pixelHeight, bool bold)
{
    RegisterWindowFonts();
    QFont font(drawnFamilies().value(face, face));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

#include "htmltext/tcolor.h"

#include <QGuiApplication>

#include <array>

namespace {

struct TNamedColor
{
    const char16_t *name;
    TColor value;
};

constexpr std::array<TNamedColor, 40> namedColors{{
    {u"clred", clRed},
    {u"clblack", clBlack},
    {u"clblue", clBlue},
    {u"clgreen", clGreen},
    {u"claqua", clAqua},
    {u"clyellow", clYellow},
    {u"clfuchsia", clFuchsia},
    {u"clwhite", clWhite},
    {u"cllime", clLime},
    {u"clsilver", clSilver},
    {u"clgray", clGray},
    {u"clolive", clOlive},
    {u"clnavy", clNavy},
    {u"clpurple", clPurple},
    {u"clteal", clTeal},
    {u"clmaroon", clMaroon},
    {u"clbackground", clSystemColor + 1},
    {u"clactivecaption", clSystemColor + 2},
    {u"clinactivecaption", clSystemColor + 3},
    {u"clmenu", clSystemColor + 4},
    {u"clwindow", clSystemColor + 5},
    {u"clwindowframe", clSystemColor + 6},
    {u"clmenutext", clSystemColor + 7},
    {u"clwindowtext", clSystemColor + 8},
    {u"clcaptiontext", clSystemColor + 9},
    {u"clactiveborder", clSystemColor + 10},
    {u"clinactiveborder", clSystemColor + 11},
    {u"clappworkspace", clSystemColor + 12},
    {u"clhighlight", clSystemColor + 13},
    {u"clhighlighttext", clSystemColor + 14},
    {u"clbtnface", clSystemColor + 15},
    {u"clbtnshadow", clSystemColor + 16},
    {u"clgraytext", clSystemColor + 17},
    {u"clbtntext", clSystemColor + 18},
    {u"clinactivecaptiontext", clSystemColor + 19},
    {u"clbtnhighlight", clSystemColor + 20},
    {u"cl3ddkshadow", clSystemColor + 21},
    {u"cl3dlight", clSystemColor + 22},
    {u"clinfotext", clSystemColor + 23},
    {u"clinfobk", clSystemColor + 24},
}};

// The palette entry that plays the part of each system colour number.
QColor systemColor(int number, const QPalette &pal)
{
    switch (number) {
    case 1: // desktop
    case 4: // menu
    case 10: // active border
    case 11: // inactive border
    case 15: // button face
        return pal.color(QPalette::Active, QPalette::Button);
    case 2: // active caption
    case 13: // highlight
        return pal.color(QPalette::Active, QPalette::Highlight);
    case 3: // inactive caption
    case 12: // application workspace
        return pal.color(QPalette::Active, QPalette::Mid);
    case 5:
        return pal.color(QPalette::Active, QPalette::Base);
    case 6: // window frame
    case 21: // 3D dark shadow
        return pal.color(QPalette::Active, QPalette::Shadow);
    case 7: // menu text
        return pal.color(QPalette::Active, QPalette::WindowText);
    case 8:
        return pal.color(QPalette::Active, QPalette::Text);
    case 9: // caption text
    case 14: // highlight text
        return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 16:
        return pal.color(QPalette::Active, QPalette::Dark);
    case 17: // gray text
    case 19: // inactive caption text
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return pal.color(QPalette::Active, QPalette::ButtonText);
    case 20:
        return pal.color(QPalette::Active, QPalette::Light);
    case 22:
        return pal.color(QPalette::Active, QPalette::Midlight);
    case 23:
        return pal.color(QPalette::Active, QPalette::ToolTipText);
    case 24:
        return pal.color(QPalette::Active, QPalette::ToolTipBase);
    default:
        return QColor(Qt::black);
    }
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

int hexPair(QStringView text, qsizetype at)
{
    if (at + 2 > text.size())
        return 0;
    const int high = hexDigit(text[at]), low = hexDigit(text[at + 1]);
    return high < 0 || low < 0 ? 0 : high * 16 + low;
}

} // namespace

TColor QColorToColor(const QColor &color)
{
    return TColor(color.red()) | TColor(color.green()) << 8 | TColor(color.blue()) << 16;
}

TColor ColorToRGB(TColor color, const QPalette &palette)
{
    if (IsSystemColor(color))
        return QColorToColor(systemColor(int(color & 0xFF), palette));
    if (color == clNone)
        return clBlack;
    return color & 0xFFFFFF;
}

TColor ColorToRGB(TColor color)
{
    return ColorToRGB(color, QGuiApplication::palette());
}

QColor ColorToQColor(TColor color, const QPalette &palette)
{
    const TColor rgb = ColorToRGB(color, palette);
    return QColor(int(rgb & 0xFF), int(rgb >> 8 & 0xFF), int(rgb >> 16 & 0xFF));
}

QColor ColorToQColor(TColor color)
{
    return ColorToQColor(color, QGuiApplication::palette());
}

TColor Hex2Color(const QString &text)
{
    const QStringView digits = text.startsWith(u'#') ? QStringView(text).mid(1) : text;
    return TColor(hexPair(digits, 0)) | TColor(hexPair(digits, 2)) << 8
        | TColor(hexPair(digits, 4)) << 16;
}

TColor Text2Color(const QString &name)
{
    if (name.startsWith(u'#'))
        return Hex2Color(name);
    const QString key = name.toLower();
    for (const TNamedColor &entry : namedColors) {
        if (key == QStringView(entry.name))
            return entry.value;
    }
    return clBlack;
}

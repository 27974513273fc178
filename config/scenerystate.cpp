#include "config/scenerystate.h"

namespace ControlFile {

QString ObjectListSection(int language)
{
    return language == lgEnglish ? QStringLiteral("Scenery") : QStringLiteral("Szenerie");
}

QString GroupListSection(int language)
{
    return language == lgEnglish ? QStringLiteral("Groups") : QStringLiteral("Gruppen");
}

QString SwitchListSection(int language)
{
    return language == lgEnglish ? QStringLiteral("Switches") : QStringLiteral("Schalter");
}

} // namespace ControlFile

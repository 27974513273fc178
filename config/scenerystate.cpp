#include "config/scenerystate.h"

namespace ControlFile {

QString ObjectListSection(int language)
{
    return language == 1 ? QStringLiteral("Scenery") : QStringLiteral("Szenerie");
}

QString GroupListSection(int language)
{
    return language == 1 ? QStringLiteral("Groups") : QStringLiteral("Gruppen");
}

QString SwitchListSection(int language)
{
    return language == 1 ? QStringLiteral("Switches") : QStringLiteral("Schalter");
}

} // namespace ControlFile

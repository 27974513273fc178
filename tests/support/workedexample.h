#pragma once

#include <QString>

// A control file with two plain objects (one checked, one not), a group and a switch, with the
// lists of both languages: the example the tests of loading, applying and the command line share.
inline const QString WorkedExampleControlFile = QStringLiteral(R"([Settings]
Language=german
URL=https://scenery.example.net/
[german]
Title=Szenerie-Konfigurator
ScrollerText=Willkommen  *  Klick hier für die Homepage  *
[english]
Title=Scenery Configurator
ScrollerText=Welcome  *  click here for the home page  *
[Szenerie]
hangar_n=Hangar Nord
tower=Tower
[Scenery]
hangar_n=Hangar north
tower=Tower
[Gruppen]
grp_cars=Fahrzeuge
[Groups]
grp_cars=Vehicles
[grp_cars]
Checked=cars
Show=1
car_a=Tankwagen
car_b=Bus
[Schalter]
sw_season=Jahreszeit
[Switches]
sw_season=Season
[sw_season]
Checked=season
ground_summer=Sommer
ground_winter=Winter
[Checked]
hangar_n=1
tower=0
cars=1
season=1
)");

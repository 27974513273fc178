#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The control file candidates of a folder: the full path of every "*.ini" file in it, in walk
// order. The walk enters only sub-folders whose own names match "*.ini", and lists their
// files too. afterEntry runs after every entry the walk hands on (a window keeps its events
// flowing that way).
QStringList FindControlFiles(const QString &folder, const std::function<void()> &afterEntry = {});

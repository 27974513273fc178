#pragma once

#include <QString>
#include <QStringList>

// The fixed interface texts, nine per language (0 German, 1 English), in index order.
QStringList InterfaceTexts(int language);

// The error shown after Apply when scenery files could not be renamed: one line per file.
QString RenameFailureMessage(int language, const QStringList &fileLines);

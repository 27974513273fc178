#include "platform/filenames.h"

#include <QFile>

bool IsFileSystemName(const QString &name)
{
    if (name.contains(QChar(u'\0')))
        return false;
#ifdef Q_OS_WIN
    return true; // the system takes UTF-16 names as they are
#else
    return QFile::decodeName(QFile::encodeName(name)) == name;
#endif
}

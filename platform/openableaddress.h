#pragma once

#include <QString>
#include <QUrl>

// The address that the program hands to the desktop for opening: the address as written when it
// is a valid URL of a web page (http or https, with a host) or a mail address (mailto), and an
// empty URL otherwise, for which nothing is opened. The addresses come from control files and
// readmes, which must not make the program open local files or start programs, nor open a
// different address than the one written.
QUrl OpenableAddress(const QString &address);

// The shell takes an address through a buffer of 2000 characters, terminator included; a longer
// address would arrive cut, which is a wrong address, so it is not opened at all.
constexpr qsizetype MaxOpenedAddressLength = 1999;

#pragma once

#include <QString>
#include <QStringList>

/// Folders in which a help file given by bare name is looked for, in order:
/// the program's folder, the installed data folder beside it
/// (<program folder>/../share/varnholt), the data folder of the configured
/// install prefix, and the current directory. Duplicates are left out.
QStringList helpFileFolders();

/// The full path of the help file `name`: a name with a folder part is taken as
/// it stands; a bare name is looked for in helpFileFolders(). Returns an empty
/// text when there is no such file.
QString findHelpFile(const QString &name);

#pragma once

#include <QString>

// Whether a file can be handed to the system's library loader without harm: on Linux a well-formed ELF
// shared object for this machine whose headers and loadable segments lie inside the file. A file cut
// short would otherwise be mapped past its end and kill the process when touched. strWhy says what is
// wrong. Elsewhere every file passes (the loader's own checks apply).
bool IsLoadableLibraryFile(const QString& strPath, QString& strWhy);

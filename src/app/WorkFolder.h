#pragma once

#include <QString>

namespace ostrel::WorkFolder {

// The fixed folder of the import files, the default store, the text export
// and the template fallback: "c:\btmp\" on Windows; elsewhere the folder in
// OSTREL_WORKDIR, else $HOME/btmp/. Always ends with a separator.
QString path();
QString file(const QString& name);

} // namespace ostrel::WorkFolder

#pragma once

#include <QString>

// The AMR file name offered for a chosen file: the file name's extension becomes "amr"
// ("song.mp3" -> "song.amr", "x.mpeg" -> "x.amr"), and a name without one gets ".amr"
// ("ring" -> "ring.amr"). A dot in a folder name or at the start of the file name is no
// extension.
QString amrFileNameFor(const QString &fileName);

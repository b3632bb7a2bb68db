#pragma once

#include "gamefolder/gamefolder.h"
#include "script/consolereader.h"

namespace GameFolder {

// Marks the maps `reading` loads (see ConsoleReader::MapWord) that the server
// in `folder` would stumble on: one it lacks, one that has no spawn points
// for the gametype the rotation or the script gives it, and a loose one found
// only when letter case is ignored. A map whose spawn points are unknown, and a mod's gametype,
// are left alone.
void addMapMarks(ConsoleReader::Reading &reading, const Contents &folder);

} // namespace GameFolder

#pragma once

#include <QFont>

#include <initializer_list>

// A font of the first of `families` that this system has. Naming that one
// family, rather than handing Qt the whole list, spares Qt working out a
// fallback list for each such font on the way to the first frame; it then
// does so only if some text needs a character the family lacks. With none of
// them installed, Qt chooses from the list and the style hint as usual.
QFont installedFont(std::initializer_list<QString> families, QFont::StyleHint hint, int pixelSize);

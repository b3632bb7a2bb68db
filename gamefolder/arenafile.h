#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// An mp/*.arena file: blocks of "key" "value" pairs, one block a map, such as
//   { map "mp_x" longname "The X" gametype "dm tdm" }
// with // and /* */ comments. A value stands on its key's line. What it says
// is for display only: real arena files name maps that are not there.
namespace ArenaFile {

// Real arena files are a few hundred bytes.
inline constexpr qint64 largestFile = 256 << 10;

struct Entry {
    QString map;
    QString longName;
};

// The blocks of `text` that name a map, in their order.
QList<Entry> read(QByteArrayView text);

} // namespace ArenaFile

#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The variables the game itself knows: those its engine registers, and those
// its stock scripts read or only write. The names are data files of the
// project (script/data/), compiled into `rows`; the game matches a name
// whatever its letter case, and so does every question asked here.
namespace GameNames {

enum class Source {
    Engine, // the engine or its game module registers it
    StockRead, // a stock script reads it
    StockWritten, // stock scripts only set it: a server's value is overwritten or never used
};

struct Row {
    QStringView name;
    Source source;
};
// As the data files give them, the engine's first.
extern const Row rows[];
extern const qsizetype rowCount;

struct Use {
    bool engine = false;
    bool stockRead = false;
    bool stockWritten = false;

    bool read() const { return engine || stockRead; }
};
Use useOf(QStringView name);

// Every name the game reads, as the tables spell it, each once.
const QStringList &readByTheGame();

} // namespace GameNames

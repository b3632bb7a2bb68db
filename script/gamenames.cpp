#include "script/gamenames.h"

#include <QHash>
#include <QSet>

namespace GameNames {

namespace {

const QHash<QString, Use> &uses()
{
    static const QHash<QString, Use> table = [] {
        QHash<QString, Use> uses;
        for (qsizetype k = 0; k < rowCount; ++k) {
            Use &use = uses[rows[k].name.toString().toLower()];
            switch (rows[k].source) {
            case Source::Engine: use.engine = true; break;
            case Source::StockRead: use.stockRead = true; break;
            case Source::StockWritten: use.stockWritten = true; break;
            }
        }
        return uses;
    }();
    return table;
}

} // namespace

Use useOf(QStringView name)
{
    return uses().value(name.toString().toLower());
}

const QStringList &readByTheGame()
{
    static const QStringList names = [] {
        QStringList names;
        QSet<QString> seen;
        // The stock scripts' spelling first: the one the pages and most scripts use.
        for (const Source source : { Source::StockRead, Source::Engine }) {
            for (qsizetype k = 0; k < rowCount; ++k) {
                const QString name = rows[k].name.toString();
                if (rows[k].source == source && !seen.contains(name.toLower())) {
                    seen.insert(name.toLower());
                    names << name;
                }
            }
        }
        return names;
    }();
    return names;
}

} // namespace GameNames

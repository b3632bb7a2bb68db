#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// What each variable written by the settings pages accepts, as the pages
// themselves declare it: the values of its buttons, a number the game reads
// in its own way, free text, or a map rotation. The console reader uses it to
// tell where a value typed in the editor is read otherwise than it looks;
// variables it does not hold are left alone.
class ValueCatalogue {
public:
    enum class Kind {
        Text, // anything goes
        Whole, // read as C's atoi reads it
        Decimal, // read as C's atof reads it
        Choice, // one of `values`
        Gametype, // one of `values`, or a word only a mod gives meaning
        Rotation, // "gametype <word>" and "map <name>" pairs, the words among `values`
    };

    // The largest number the game uses: above it, it uses this one.
    struct Clamp {
        double highest = 0;
        QStringView meaning = {}; // names it, as in "the longest round it allows"; a literal
    };

    struct Accepted {
        Kind kind = Kind::Text;
        QStringList values = {};
        std::optional<Clamp> clamp = {};
        std::optional<QString> emptyGives = {}; // what the game uses for an empty value, where it has a default
    };

    void declare(QStringView variable, const Accepted &accepted) { m_accepted.insert(key(variable), accepted); }
    const Accepted *find(QStringView variable) const
    {
        const auto found = m_accepted.constFind(key(variable));
        return found == m_accepted.cend() ? nullptr : &*found;
    }

private:
    // The console finds a variable whatever the case of its name.
    static QString key(QStringView variable) { return variable.toString().toLower(); }

    QHash<QString, Accepted> m_accepted;
};

#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// What each variable written by the settings pages accepts, as the pages
// themselves describe it: the values of its buttons, a number (within the
// range its label gives), free text, or a map rotation. The console reader
// uses it to tell where a value typed in the editor is read otherwise than it
// looks; variables it does not hold are left alone.
class ValueCatalogue {
public:
    enum class Kind {
        Text, // anything goes
        Number, // read by leading digits, within `lowest`..`highest` when `ranged`
        Choice, // one of `values`
        Rotation, // "gametype <word>" and "map <name>" pairs, the words among `values`
    };

    struct Accepted {
        Kind kind = Kind::Text;
        QStringList values = {};
        bool ranged = false;
        qint64 lowest = 0;
        qint64 highest = 0;
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

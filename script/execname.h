#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// What the game's exec looks for when a script says `exec NAME`: NAME with
// ".cfg" added when it has no "." after its last "/", less one leading "/"
// or "\", found through the same search as maps. A name holding ".." or
// "::" the game refuses. Where it finds nothing it says "couldn't exec
// NAME", with NAME as typed, and runs nothing.
namespace ExecName {

enum class Refusal {
    None,
    NoName, // exec alone: the game shows its usage
    ParentFolder, // "..": no file above the game folder
    DoubleColon, // "::"
};

struct Target {
    QString path; // "/" between folders; empty when refused
    Refusal refusal = Refusal::None;
};

Target of(QStringView typed);

// The scripts the game runs when it starts, in this order, before the
// server's own script (+exec on its command line).
const QStringList &startUpScripts();

} // namespace ExecName

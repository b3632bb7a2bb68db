#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A script's settings beside what a running server holds.
namespace HeldValues {

// The line that gives a variable its final value in a script, as the console runs it.
struct Setting {
    QString name; // as the line writes it
    QString value;
    QString command; // set, seta or sets, as written
    qsizetype line = 0; // from 0
    qsizetype column = 0; // from 0, where the command starts
};
// Every variable the script sets, at the line that sets it last, in the order of those lines.
QList<Setting> finalSettings(const QStringList &lines);

// The password variable: never read from a server, never sent, never shown.
bool isPassword(QStringView name);
// The script's own remote console password, where it sets one.
std::optional<QString> passwordOf(const QList<Setting> &settings);

// What the server holds for a variable.
struct Held {
    bool exists = true; // false: the server holds no such variable
    QString value = {};
    std::optional<QString> latched = {}; // what it becomes at the next map
};
using HeldByName = QHash<QString, Held>; // by lower-case name

// A setting whose variable the server holds otherwise than the script sets it.
struct Difference {
    Setting setting;
    Held held;
};
// For the settings whose variable `held` names.
QList<Difference> differences(const QList<Setting> &settings, const HeldByName &held);

// What a status reply holds, by lower-case name.
HeldByName fromInfo(const QList<std::pair<QString, QString>> &info);

} // namespace HeldValues

#include "gamefolder/trouble.h"

#include "script/wording.h"

using namespace Qt::StringLiterals;

namespace {

QString sentence(const Trouble &trouble)
{
    using Kind = Trouble::Kind;
    switch (trouble.kind) {
    case Kind::NotAMap: return u"not a map file"_s;
    case Kind::MapVersion: return u"a map of version %1, not %2"_s.arg(trouble.number).arg(trouble.limit);
    case Kind::EntitiesOutside: return u"its entities lie past the end of the file"_s;
    case Kind::EntitiesTooLarge: return u"its entities are over %1"_s.arg(Wording::size(trouble.limit));
    case Kind::ReadFailed:
    case Kind::NotAnArchive: return trouble.detail;
    case Kind::EndsEarly: return u"it ends early"_s;
    case Kind::OverCeiling:
        return u"it is %1, over the %2 read of it"_s.arg(Wording::size(trouble.number), Wording::size(trouble.limit));
    case Kind::OverBudget:
        return u"left unread: the game folder's files inflate to over %1 in all"_s.arg(Wording::size(trouble.limit));
    case Kind::EmptyArchive: return u"the archive is empty"_s;
    case Kind::NotAFile: return u"not a file"_s;
    case Kind::BrokenLink: return u"a link that leads nowhere, or round to itself"_s;
    case Kind::TooManyArchives: return u"left unread: the folder holds over %1 archives"_s.arg(trouble.limit);
    case Kind::TooManyLooseMaps: return u"left unread: the folder holds over %1 loose maps"_s.arg(trouble.limit);
    case Kind::FolderUnreadable: return u"the folder cannot be read"_s;
    case Kind::FolderMissing: return u"there is no such folder"_s;
    case Kind::MoreLikeThese: return u"and %1 more entries like these"_s.arg(trouble.number);
    case Kind::TooManyNames:
        return u"it holds over %1 names; the rest were not read, so nothing is said of what the server reads"_s.arg(
            trouble.limit);
    case Kind::TooManyScripts: return u"left unread: over %1 scripts of one kind"_s.arg(trouble.limit);
    case Kind::NoLibZip: return u"left unread: libzip cannot be loaded (%1)"_s.arg(trouble.detail);
    case Kind::OverKept:
        return u"left unread: the folder's scripts hold over %1 of text and names"_s.arg(Wording::size(trouble.limit));
    case Kind::NotFollowed:
        return (trouble.number == 1 ? u"a game script that could not be followed as the game runs it"_s
                                    : u"the first of %1 game scripts that could not be followed as the game runs them"_s
                                          .arg(trouble.number))
            + u"; nothing is said of the names they could build"_s;
    case Kind::OverBuilt:
        return u"the names the game scripts build come to over %1, so nothing is said of what the server reads"_s.arg(
            Wording::size(trouble.limit));
    }
    return {};
}

} // namespace

QString describe(const Trouble &trouble)
{
    return trouble.entry.isEmpty() ? sentence(trouble) : trouble.entry + u": "_s + sentence(trouble);
}

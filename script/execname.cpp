#include "script/execname.h"

using namespace Qt::StringLiterals;

namespace ExecName {

Target of(QStringView typed)
{
    if (typed.isEmpty())
        return { {}, Refusal::NoName };
    if (typed.contains(u".."))
        return { {}, Refusal::ParentFolder };
    if (typed.contains(u"::"))
        return { {}, Refusal::DoubleColon };
    QString path = typed.toString();
    if (path.indexOf(u'.', path.lastIndexOf(u'/') + 1) < 0)
        path += u".cfg"_s;
    if (path.startsWith(u'/') || path.startsWith(u'\\'))
        path.remove(0, 1);
    // The game opens "\" as "/" in archives and on the disk alike.
    path.replace(u'\\', u'/');
    return { path, Refusal::None };
}

const QStringList &startUpScripts()
{
    static const QStringList scripts
        = { u"default_mp.cfg"_s, u"language.cfg"_s, u"config_mp.cfg"_s, u"autoexec_mp.cfg"_s };
    return scripts;
}

} // namespace ExecName

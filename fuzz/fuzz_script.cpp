// libFuzzer's entry: the bytes as a script file, loaded from the disk as Open and --check load it,
// then read line by line by the console reader, whole by the script reader, and taken as Open
// takes it, offering back every variable it sets.

#include "generator/pagelist.h"
#include "script/consolereader.h"
#include "script/openedscript.h"
#include "script/scriptfile.h"
#include "script/scriptreader.h"
#include "script/valuecatalogue.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// One file in memory, rewritten for each input: ScriptFile::load reads a path.
const QString &scriptPath()
{
    static const QString path = [] {
        const int fd = memfd_create("script.cfg", 0);
        return fd < 0 ? QString() : QStringLiteral("/proc/self/fd/%1").arg(fd);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const ValueCatalogue values = PageList::valueCatalogue();
    const int fd = scriptPath().section(u'/', -1).toInt();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        return 0;
    const ScriptFile::Loaded loaded = ScriptFile::load(scriptPath());
    if (!loaded.ok())
        return 0;

    QStringList variables;
    for (const QString &line : loaded.lines)
        for (const ConsoleReader::Span name : ConsoleReader::read(line, values).names)
            variables += line.mid(name.start, name.length);
    ScriptReader::readAll(loaded.lines, values);

    OpenedScript opened(loaded.lines, {}, values);
    for (int pass = 0; pass < 4; ++pass) {
        for (const QString &variable : std::as_const(variables))
            if (const auto value = opened.ask(variable))
                opened.offer({ variable }, QStringLiteral("set %1 \"%2\"").arg(variable, *value));
        if (opened.settle())
            break;
    }
    opened.keptLines();
    return 0;
}

#include "gamefolder/libzip.h"

#include <QLibrary>

#include <optional>

using namespace Qt::StringLiterals;

const LibZip *LibZip::get(QString *why)
{
    static const std::pair<std::optional<LibZip>, QString> loaded = []() -> std::pair<std::optional<LibZip>, QString> {
        // Never unloaded: the program keeps what it loaded until it ends.
        QLibrary library(QStringLiteral(TALLYFORGE_LIBZIP_SONAME));
        if (!library.load())
            return { std::nullopt, library.errorString() };
        LibZip zip;
        QStringList missing;
#define TALLYFORGE_LIBZIP_RESOLVE(name)                                                                                \
    zip.name = reinterpret_cast<decltype(zip.name)>(library.resolve("zip_" #name));                                    \
    if (!zip.name)                                                                                                     \
        missing << QLatin1StringView("zip_" #name);
        TALLYFORGE_LIBZIP_FUNCTIONS(TALLYFORGE_LIBZIP_RESOLVE)
#undef TALLYFORGE_LIBZIP_RESOLVE
        if (!missing.isEmpty())
            return { std::nullopt, u"%1 lacks %2"_s.arg(library.fileName(), missing.join(u", "_s)) };
        return { zip, {} };
    }();
    if (why)
        *why = loaded.second;
    return loaded.first ? &*loaded.first : nullptr;
}

#include "gamefolder/arenafile.h"

#include "gamefolder/gametext.h"

#include <optional>

namespace ArenaFile {

QList<Entry> read(QByteArrayView text)
{
    QList<Entry> entries;
    GameTextTokens tokens(text);
    std::optional<Entry> block;
    std::optional<GameTextTokens::Token> token = tokens.next();
    while (token) {
        if (!token->quoted && token->text == "{") {
            block = Entry();
        } else if (!token->quoted && token->text == "}") {
            if (block && !block->map.isEmpty())
                entries << *block;
            block.reset();
        } else if (block) {
            const QByteArrayView key = token->text;
            std::optional<GameTextTokens::Token> value = tokens.next();
            const bool brace = value && !value->quoted && (value->text == "{" || value->text == "}");
            if (!value || !value->sameLine || brace) {
                token = value; // the key stands alone; what follows is a token of its own
                continue;
            }
            if (key.compare("map", Qt::CaseInsensitive) == 0)
                block->map = QString::fromLatin1(value->text);
            else if (key.compare("longname", Qt::CaseInsensitive) == 0)
                block->longName = QString::fromLatin1(value->text);
        }
        token = tokens.next();
    }
    return entries;
}

} // namespace ArenaFile

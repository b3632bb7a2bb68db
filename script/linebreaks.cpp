#include "script/linebreaks.h"

using namespace Qt::StringLiterals;

namespace LineBreaks {

QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const qsizetype length = breakLength(text, i)) {
            out += u"\r\n"_s;
            i += length - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace LineBreaks

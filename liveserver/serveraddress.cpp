#include "liveserver/serveraddress.h"

using namespace Qt::StringLiterals;

namespace ServerAddress {

QString Address::shown() const
{
    return (host.contains(u':') ? u"[%1]:%2"_s : u"%1:%2"_s).arg(host).arg(port);
}

std::optional<Address> read(QStringView text)
{
    text = text.trimmed();
    QStringView host = text;
    QStringView port;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        host = text.sliced(1, close - 1);
        const QStringView rest = text.sliced(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return std::nullopt;
            port = rest.sliced(1);
        }
    } else if (text.count(u':') == 1) {
        const qsizetype colon = text.indexOf(u':');
        host = text.first(colon);
        port = text.sliced(colon + 1);
    }
    if (host.isEmpty() || host.contains(u' ') || host.contains(u'/'))
        return std::nullopt;
    Address address { host.toString() };
    if (text.endsWith(u':'))
        return std::nullopt;
    if (!port.isEmpty()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535)
            return std::nullopt;
        address.port = quint16(number);
    }
    return address;
}

} // namespace ServerAddress

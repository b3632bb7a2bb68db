#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Where a running server listens: HOST[:PORT], as an admin types it.
namespace ServerAddress {

inline constexpr quint16 defaultPort = 28960;

struct Address {
    QString host; // a name or an address; an IPv6 address without its brackets
    quint16 port = defaultPort;

    // As it was typed back: HOST:PORT, an IPv6 address in brackets.
    QString shown() const;
};

// None where `text` names no host or its port is no number from 1 to 65535.
std::optional<Address> read(QStringView text);

} // namespace ServerAddress

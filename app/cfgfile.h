#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A server script on disk: Windows-1252 text with CR LF line ends. A save
// replaces the file in one step once every byte of the new script is on the
// disk, so a failure leaves the old file as it was. Where no new file can take
// its place, it writes over the old one in place, which is not one step: the
// old bytes are put back if that fails.
namespace CfgFile {

// The editor's raw text as file bytes, line breaks of any kind as CR LF; nothing
// when a character has no Windows-1252 byte, or Qt has no Windows-1252 encoder.
std::optional<QByteArray> encode(const QString &text);

// Saves `text` at `path`. Returns the sentence for the error box when it could
// not; the file at `path` is then as it was before, unless even putting its old
// bytes back failed, which the sentence says.
[[nodiscard]] std::optional<QString> save(const QString &path, const QString &text);

} // namespace CfgFile

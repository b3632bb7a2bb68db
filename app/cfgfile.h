#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A server script on disk: Windows-1252 text with CR LF line ends. A save
// either puts every byte of the new script in place or leaves the old file
// exactly as it was.
namespace CfgFile {

// The editor's raw text as file bytes, line breaks of any kind as CR LF; nothing
// when a character has no Windows-1252 byte, or Qt has no Windows-1252 encoder.
std::optional<QByteArray> encode(const QString &text);

// Saves `text` at `path`. Returns the sentence for the error box when it could
// not; the file at `path` is then as it was before.
[[nodiscard]] std::optional<QString> save(const QString &path, const QString &text);

} // namespace CfgFile

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A server script on disk: Windows-1252 text with CR LF line ends, written so
// that the file at the target path is always either the old or the new one.
namespace CfgFile {

// The editor's raw text as file bytes. Line breaks of any kind become CR LF.
// Returns nothing when a character has no Windows-1252 byte, and then says
// which in `problem` (a sentence for the user).
std::optional<QByteArray> encode(const QString &text, QString *problem);

// Replaces the file at `path` with `bytes`. Returns the message for the user
// on failure, an empty string on success; on failure the old file is untouched.
QString write(const QString &path, const QByteArray &bytes);

} // namespace CfgFile

#pragma once
// Block files (".qlb"): exactly one TBlock record. The block's name is the
// file name without folder and without its last four characters.

#include <QString>

namespace BlockFile {

// Block files must start with these six characters.
inline constexpr char kSignature[] = "TBlock";
// Largest block file read.
inline constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

// The block name a block file gives: "C:/lib/Tür.qlb" → "Tür".
QString BlockNameOfFile(const QString& fileName);
// False for an empty name, path separators, "..", and control characters.
bool IsValidBlockName(const QString& name);

} // namespace BlockFile

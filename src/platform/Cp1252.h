#pragma once
// The Windows-1252 code page in which the program stores all 8-bit text.
// The five bytes that the code page leaves undefined map to the C1 control
// characters of the same value, so every byte round-trips.

#include <QString>
#include <string>
#include <string_view>

namespace Cp1252 {

char16_t ToUnicode(unsigned char byte);
// The byte for a character, or '?' when the code page has none.
unsigned char FromUnicode(char16_t ch);
QString Decode(std::string_view bytes);
std::string Encode(const QString& text);
// Appends the bytes of the text.
void AppendEncoded(std::string& bytes, const QString& text);
// True when every character of the text has a byte in the code page.
bool CanEncode(const QString& text);

} // namespace Cp1252

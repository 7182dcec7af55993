#include "platform/Cp1252.h"

#include <array>

namespace {

// 0x80 … 0x9F; the other bytes equal their Unicode code points.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

namespace Cp1252 {

char16_t ToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : static_cast<char16_t>(byte);
}

unsigned char FromUnicode(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<unsigned char>(ch);
    for (unsigned i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == ch) return static_cast<unsigned char>(0x80 + i);
    return '?';
}

QString Decode(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) *out++ = QChar(ToUnicode(static_cast<unsigned char>(byte)));
    return text;
}

void AppendEncoded(std::string& bytes, const QString& text) {
    const std::size_t start = bytes.size();
    bytes.resize(start + static_cast<std::size_t>(text.size()));
    char* out = bytes.data() + start;
    for (const QChar ch : text) *out++ = static_cast<char>(FromUnicode(ch.unicode()));
}

std::string Encode(const QString& text) {
    std::string bytes;
    AppendEncoded(bytes, text);
    return bytes;
}

bool CanEncode(const QString& text) {
    for (QChar ch : text)
        if (FromUnicode(ch.unicode()) == '?' && ch != u'?') return false;
    return true;
}

} // namespace Cp1252

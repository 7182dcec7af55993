#pragma once
// A hash key that compares names without regard to case, as
// QString::compare(..., Qt::CaseInsensitive) does, without making a folded
// copy of the name for every look-up.

#include <QHashFunctions>
#include <QString>
#include <cstddef>

struct TNoCaseKey {
    QString Text;
};

inline bool operator==(const TNoCaseKey& a, const TNoCaseKey& b) {
    return a.Text.compare(b.Text, Qt::CaseInsensitive) == 0;
}

inline std::size_t qHash(const TNoCaseKey& key, std::size_t seed = 0) noexcept {
    std::size_t h = seed ^ 0x9E3779B97F4A7C15ull;
    const qsizetype n = key.Text.size();
    const QChar* s = key.Text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = s[i].unicode();
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z') c += 0x20;
        } else {
            if (QChar::isHighSurrogate(c) && i + 1 < n && s[i + 1].isLowSurrogate())
                c = QChar::surrogateToUcs4(static_cast<char16_t>(c), s[++i].unicode());
            c = QChar::toCaseFolded(c);
        }
        h = (h ^ c) * 0x100000001B3ull;
    }
    // The table uses the low bits: mix the high ones down.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

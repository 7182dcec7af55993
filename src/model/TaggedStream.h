#pragma once
// The tagged item encoding every stored object of the suite is written in:
// one tag byte whose range fixes the shape of the payload that follows.
//
//   0–19, 240–255  no payload
//   20–89          signed 32-bit integer
//   90–119         one byte
//   120–149        two bytes in figure and layer records (no payload in document sections)
//   150–179        signed 32-bit length, then that many bytes (a blob)
//   180–219        zero-terminated 8-bit string
//   220–239        IEEE 754 double
//
// All numbers are little-endian; strings are Windows-1252.

#include "platform/Stream.h"

#include <QString>
#include <cstdint>
#include <vector>

enum class TTagPayload : std::uint8_t { None, Int32, Byte, Word, Blob, String, Double };

// Which reader is asking: the document-section reader reads no payload for 120–149.
enum class TTagDialect : std::uint8_t { Record, DocumentSection };

TTagPayload PayloadOfTag(std::uint8_t tag, TTagDialect dialect = TTagDialect::Record);

struct TTaggedItem {
    std::uint8_t Tag = 0;
    TTagPayload Kind = TTagPayload::None;
    // The payload bytes; for strings the characters without the closing 0.
    std::vector<std::uint8_t> Data;

    std::int32_t AsInt() const;
    std::uint8_t AsByte() const;
    std::int16_t AsWord() const;
    // Raises EReadError for NaN and infinities.
    double AsDouble() const;
    QString AsString() const;
    std::size_t Size() const { return Data.size(); }
};

// Reads one item at the stream's position. Returns false at the end of the
// stream; raises EReadError when the item is cut short or its length is impossible.
bool ReadTaggedItem(TStream& stream, TTaggedItem& item, TTagDialect dialect = TTagDialect::Record);

// Reads bytes up to a 0 byte (consumed) as Windows-1252 text. A string
// without its closing 0 raises EReadError.
QString ReadStr(TStream& stream);
void WriteStr(TStream& stream, const QString& s);

void WriteTagged(std::uint8_t tag, TStream& stream, const void* data, int size);
void WriteTaggedInt(std::uint8_t tag, TStream& stream, std::int32_t value);
void WriteTaggedByte(std::uint8_t tag, TStream& stream, std::uint8_t value);
void WriteTaggedDouble(std::uint8_t tag, TStream& stream, double value);
void WriteTaggedBlob(std::uint8_t tag, TStream& stream, const void* data, std::int32_t size);
void WriteTaggedStr(std::uint8_t tag, TStream& stream, const QString& s);
// Tag, size of the source, then the whole source from its start.
void WriteTaggedStream(std::uint8_t tag, TStream& stream, TStream& source);

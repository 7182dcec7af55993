#include "model/TaggedStream.h"

#include "platform/Cp1252.h"

#include <cmath>
#include <cstring>
#include <limits>

TTagPayload PayloadOfTag(std::uint8_t tag, TTagDialect dialect) {
    if (tag < 20) return TTagPayload::None;
    if (tag < 90) return TTagPayload::Int32;
    if (tag < 120) return TTagPayload::Byte;
    if (tag < 150) return dialect == TTagDialect::Record ? TTagPayload::Word : TTagPayload::None;
    if (tag < 180) return TTagPayload::Blob;
    if (tag < 220) return TTagPayload::String;
    if (tag < 240) return TTagPayload::Double;
    return TTagPayload::None;
}

namespace {
template <typename T> T Payload(const TTaggedItem& item) {
    T value{};
    std::memcpy(&value, item.Data.data(), std::min(sizeof value, item.Data.size()));
    return value;
}
} // namespace

std::int32_t TTaggedItem::AsInt() const { return Payload<std::int32_t>(*this); }
std::uint8_t TTaggedItem::AsByte() const { return Payload<std::uint8_t>(*this); }
std::int16_t TTaggedItem::AsWord() const { return Payload<std::int16_t>(*this); }
double TTaggedItem::AsDouble() const {
    const double value = Payload<double>(*this);
    if (!std::isfinite(value))
        throw EReadError(QStringLiteral("Lesefehler: ungültige Zahl in Eintrag %1").arg(Tag));
    return value;
}

QString TTaggedItem::AsString() const {
    return Cp1252::Decode(std::string_view(reinterpret_cast<const char*>(Data.data()), Data.size()));
}

bool ReadTaggedItem(TStream& stream, TTaggedItem& item, TTagDialect dialect) {
    if (stream.AtEnd()) return false;
    item.Tag = stream.ReadU8();
    item.Kind = PayloadOfTag(item.Tag, dialect);
    item.Data.clear();
    switch (item.Kind) {
    case TTagPayload::None:
        break;
    case TTagPayload::Int32:
        item.Data = stream.ReadBytes(4);
        break;
    case TTagPayload::Byte:
        item.Data = stream.ReadBytes(1);
        break;
    case TTagPayload::Word:
        item.Data = stream.ReadBytes(2);
        break;
    case TTagPayload::Double:
        item.Data = stream.ReadBytes(8);
        break;
    case TTagPayload::Blob: {
        const std::int32_t size = stream.ReadI32();
        if (size < 0 || size > stream.Remaining())
            throw EReadError(QStringLiteral("Lesefehler: Datenblock %1 mit unmöglicher Länge %2 "
                                            "(%3 Bytes vorhanden)")
                                 .arg(item.Tag)
                                 .arg(size)
                                 .arg(stream.Remaining()));
        item.Data = stream.ReadBytes(static_cast<std::size_t>(size));
        break;
    }
    case TTagPayload::String: {
        const QString s = ReadStr(stream);
        const std::string bytes = Cp1252::Encode(s);
        item.Data.assign(bytes.begin(), bytes.end());
        break;
    }
    }
    return true;
}

QString ReadStr(TStream& stream) {
    std::string bytes;
    for (;;) {
        if (stream.AtEnd()) throw EReadError(QStringLiteral("Lesefehler: Zeichenkette ohne Abschluss"));
        const std::uint8_t b = stream.ReadU8();
        if (b == 0) break;
        bytes.push_back(static_cast<char>(b));
    }
    return Cp1252::Decode(bytes);
}

void WriteStr(TStream& stream, const QString& s) {
    std::string bytes = Cp1252::Encode(s);
    // A stored string ends at its first 0 byte.
    if (const auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
    bytes.push_back('\0');
    stream.Write(bytes.data(), bytes.size());
}

void WriteTagged(std::uint8_t tag, TStream& stream, const void* data, int size) {
    stream.WriteU8(tag);
    if (size > 0) stream.Write(data, static_cast<std::size_t>(size));
}

void WriteTaggedInt(std::uint8_t tag, TStream& stream, std::int32_t value) { WriteTagged(tag, stream, &value, 4); }
void WriteTaggedByte(std::uint8_t tag, TStream& stream, std::uint8_t value) { WriteTagged(tag, stream, &value, 1); }
void WriteTaggedDouble(std::uint8_t tag, TStream& stream, double value) { WriteTagged(tag, stream, &value, 8); }

void WriteTaggedBlob(std::uint8_t tag, TStream& stream, const void* data, std::int32_t size) {
    stream.WriteU8(tag);
    stream.WriteI32(size);
    if (size > 0) stream.Write(data, static_cast<std::size_t>(size));
}

void WriteTaggedStr(std::uint8_t tag, TStream& stream, const QString& s) {
    stream.WriteU8(tag);
    WriteStr(stream, s);
}

void WriteTaggedStream(std::uint8_t tag, TStream& stream, TStream& source) {
    const std::int64_t size = source.Size();
    if (size > std::numeric_limits<std::int32_t>::max())
        throw EWriteError(QStringLiteral("Datenblock zu groß zum Speichern"));
    stream.WriteU8(tag);
    stream.WriteI32(static_cast<std::int32_t>(size));
    source.Seek(0);
    CopyStreamBytes(source, stream, size);
}

#include "platform/Stream.h"

#include <QFile>
#include <QSaveFile>
#include <bit>
#include <cmath>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "stored formats are little-endian");

EStreamError::EStreamError(const QString& message) : std::runtime_error(message.toStdString()) {}

QString EStreamError::Message() const { return QString::fromUtf8(what()); }

void TStream::Require(std::int64_t count, const char* what) const {
    if (count < 0 || count > Remaining())
        throw EReadError(QStringLiteral("Lesefehler: %1 reicht über das Ende der Daten hinaus "
                                        "(%2 Bytes verlangt, %3 vorhanden)")
                             .arg(QString::fromUtf8(what))
                             .arg(count)
                             .arg(Remaining()));
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    Require(static_cast<std::int64_t>(count), "ein Datenfeld");
    if (count == 0) return;
    if (Read(buffer, count) != count) throw EReadError(QStringLiteral("Lesefehler: Daten unvollständig"));
}

std::vector<std::uint8_t> TStream::ReadBytes(std::size_t count) {
    Require(static_cast<std::int64_t>(count), "ein Datenblock");
    std::vector<std::uint8_t> bytes(count);
    ReadBuffer(bytes.data(), count);
    return bytes;
}

void TStream::Skip(std::int64_t count) {
    Require(count, "ein übersprungener Block");
    Seek(Position() + count);
}

namespace {
template <typename T> T ReadValue(TStream& s) {
    T v{};
    s.ReadBuffer(&v, sizeof v);
    return v;
}
template <typename T> void WriteValue(TStream& s, T v) { s.Write(&v, sizeof v); }
} // namespace

std::uint8_t TStream::ReadU8() { return ReadValue<std::uint8_t>(*this); }
std::int16_t TStream::ReadI16() { return ReadValue<std::int16_t>(*this); }
std::uint16_t TStream::ReadU16() { return ReadValue<std::uint16_t>(*this); }
std::int32_t TStream::ReadI32() { return ReadValue<std::int32_t>(*this); }
std::uint32_t TStream::ReadU32() { return ReadValue<std::uint32_t>(*this); }
std::int64_t TStream::ReadI64() { return ReadValue<std::int64_t>(*this); }
double TStream::ReadDouble() {
    const double value = ReadValue<double>(*this);
    // Stored numbers are coordinates, sizes and angles: never NaN or infinite.
    if (!std::isfinite(value)) throw EReadError(QStringLiteral("Lesefehler: ungültige Zahl in den Daten"));
    return value;
}
void TStream::WriteU8(std::uint8_t v) { WriteValue(*this, v); }
void TStream::WriteI16(std::int16_t v) { WriteValue(*this, v); }
void TStream::WriteU16(std::uint16_t v) { WriteValue(*this, v); }
void TStream::WriteI32(std::int32_t v) { WriteValue(*this, v); }
void TStream::WriteU32(std::uint32_t v) { WriteValue(*this, v); }
void TStream::WriteI64(std::int64_t v) { WriteValue(*this, v); }
void TStream::WriteDouble(double v) { WriteValue(*this, v); }

TMemoryStream::TMemoryStream(const void* data, std::size_t size)
    : FData(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size) {}

void TMemoryStream::Seek(std::int64_t position) {
    if (position < 0 || position > Size())
        throw EStreamError(QStringLiteral("Ungültige Stream-Position %1").arg(position));
    FPosition = position;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const auto available = static_cast<std::size_t>(Size() - FPosition);
    const std::size_t n = std::min(count, available);
    if (n > 0) std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += static_cast<std::int64_t>(n);
    return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return;
    const auto end = static_cast<std::size_t>(FPosition) + count;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (static_cast<std::size_t>(FPosition) == FData.size()) {
        FData.insert(FData.end(), bytes, bytes + count); // appending: no zero fill first
    } else {
        if (end > FData.size()) FData.resize(end);
        std::memcpy(FData.data() + FPosition, buffer, count);
    }
    FPosition = static_cast<std::int64_t>(end);
}

std::vector<std::uint8_t> TMemoryStream::TakeData() {
    FPosition = 0;
    return std::exchange(FData, {});
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0) throw EStreamError(QStringLiteral("Ungültige Stream-Größe %1").arg(size));
    FData.resize(static_cast<std::size_t>(size));
    FPosition = std::min(FPosition, size);
}

void TMemoryStream::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EReadError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                             .arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EReadError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                             .arg(fileName, file.errorString()));
    FData.assign(bytes.begin(), bytes.end());
    FPosition = 0;
}

void TMemoryStream::SaveToFile(const QString& fileName) const {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EWriteError(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                              .arg(fileName, file.errorString()));
    const auto size = static_cast<qint64>(FData.size());
    if (file.write(reinterpret_cast<const char*>(FData.data()), size) != size || !file.commit())
        throw EWriteError(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                              .arg(fileName, file.errorString()));
}

void CopyStreamBytes(TStream& source, TStream& dest, std::int64_t count) {
    source.Require(count, "ein kopierter Block");
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(count));
    source.ReadBuffer(buffer.data(), buffer.size());
    dest.Write(buffer.data(), buffer.size());
}

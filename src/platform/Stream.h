#pragma once
// Seekable byte streams with little-endian reads and writes.
//
// Every stored format of the program is read through these streams. A read
// that would go past the end raises EReadError and consumes nothing, so
// readers of damaged data fail with a message instead of reading garbage.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class EStreamError : public std::runtime_error {
public:
    explicit EStreamError(const QString& message);
    QString Message() const;
};

// Raised when a stream ends too early or holds data that cannot be right.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    // Positions outside 0 … Size raise EStreamError.
    virtual void Seek(std::int64_t position) = 0;
    // Reads up to count bytes; returns how many were read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes count bytes at the position, growing the stream as needed.
    virtual void Write(const void* buffer, std::size_t count) = 0;

    std::int64_t Remaining() const { return Size() - Position(); }
    bool AtEnd() const { return Position() >= Size(); }

    // Raises EReadError naming `what` unless count bytes are left.
    void Require(std::int64_t count, const char* what) const;
    // Reads exactly count bytes or raises EReadError (nothing is consumed then).
    void ReadBuffer(void* buffer, std::size_t count);
    std::vector<std::uint8_t> ReadBytes(std::size_t count);
    void Skip(std::int64_t count);

    std::uint8_t ReadU8();
    std::int16_t ReadI16();
    std::uint16_t ReadU16();
    std::int32_t ReadI32();
    std::uint32_t ReadU32();
    std::int64_t ReadI64();
    // Raises EReadError for NaN and infinities, which no stored format holds.
    double ReadDouble();

    void WriteBytes(const std::vector<std::uint8_t>& bytes) { Write(bytes.data(), bytes.size()); }
    void WriteU8(std::uint8_t v);
    void WriteI16(std::int16_t v);
    void WriteU16(std::uint16_t v);
    void WriteI32(std::int32_t v);
    void WriteU32(std::uint32_t v);
    void WriteI64(std::int64_t v);
    void WriteDouble(double v);
};

// A stream held in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FData(std::move(bytes)) {}
    TMemoryStream(const void* data, std::size_t size);

    std::int64_t Size() const override { return static_cast<std::int64_t>(FData.size()); }
    std::int64_t Position() const override { return FPosition; }
    void Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;

    const std::vector<std::uint8_t>& Data() const { return FData; }
    std::vector<std::uint8_t> TakeData();
    // Room for this many bytes in all, so that growing up to it copies nothing.
    void Reserve(std::int64_t size) {
        if (size > 0) FData.reserve(static_cast<std::size_t>(size));
    }
    void Clear();
    void SetSize(std::int64_t size);
    // Replaces the content by the whole file; raises EReadError when it cannot be read.
    void LoadFromFile(const QString& fileName);
    // Writes the content through a temporary file and a rename; raises EWriteError.
    void SaveToFile(const QString& fileName) const;

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPosition = 0;
};

// Copies count bytes from the source's position into the destination.
void CopyStreamBytes(TStream& source, TStream& dest, std::int64_t count);

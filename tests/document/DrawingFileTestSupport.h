#pragma once
// Helpers of the drawing file tests: a little byte builder for hand-made
// files, and reading and writing whole files.

#include "document/DrawingFile.h"
#include "document/VXDrawing.h"

#include <QFile>
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

struct TByteBuilder {
    TBytes Bytes;
    TByteBuilder& U8(std::uint8_t v) {
        Bytes.push_back(v);
        return *this;
    }
    TByteBuilder& I32(std::int32_t v) {
        std::uint8_t b[4];
        std::memcpy(b, &v, 4);
        Bytes.insert(Bytes.end(), b, b + 4);
        return *this;
    }
    TByteBuilder& F64(double v) {
        std::uint8_t b[8];
        std::memcpy(b, &v, 8);
        Bytes.insert(Bytes.end(), b, b + 8);
        return *this;
    }
    TByteBuilder& Str(const std::string& s) {
        Bytes.insert(Bytes.end(), s.begin(), s.end());
        Bytes.push_back(0);
        return *this;
    }
    TByteBuilder& Raw(const TBytes& b) {
        Bytes.insert(Bytes.end(), b.begin(), b.end());
        return *this;
    }
    TByteBuilder& Header(std::uint8_t count) {
        Raw({0x7B, 0x7D, 0xD4, 0xEA, 0x4C, 0x41, 0xA9, 0xD6});
        return U8(0x22).U8(0x01).U8(count);
    }
    TByteBuilder& Section(const std::string& name, const TBytes& data) {
        I32(static_cast<std::int32_t>(data.size()));
        Str(name);
        return Raw(data);
    }
};

inline TBytes ReadAll(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray content = file.readAll();
    return TBytes(content.begin(), content.end());
}

inline void WriteAll(const QString& fileName, const TBytes& bytes) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// The Document section data of a drawing with the default surface on an A4
// portrait page, built from the tag table.
inline TBytes DefaultA4DocumentData() {
    TByteBuilder b;
    b.U8(21).I32(0xFFFFFF);                     // BackGround
    b.U8(22).I32(0xC0C0C0);                     // GridColor
    b.U8(220).F64(5.0);                         // GridStep
    b.U8(24).I32(0x008000);                     // GuideColor
    b.U8(221).F64(210.0);                       // WorkWidth
    b.U8(222).F64(297.0);                       // WorkHeight
    b.U8(27).I32(100);                          // ZoomScale
    b.U8(28).I32(50);                           // MapScale
    b.U8(29).I32(0xFFFFFF);                     // PageColor
    b.U8(90).U8(4).U8(91).U8(1);                // plA4, poPortrait
    b.U8(92).U8(1).U8(93).U8(0).U8(94).U8(0);   // vzTop, vzLeft, rsMetric
    return b.Bytes;
}

inline TBytes BaseLayerSectionData() {
    TByteBuilder record;
    record.U8(180).Str("Base Layer").U8(90).U8(0);
    TByteBuilder b;
    b.I32(1).I32(static_cast<std::int32_t>(record.Bytes.size())).Raw(record.Bytes);
    return b.Bytes;
}

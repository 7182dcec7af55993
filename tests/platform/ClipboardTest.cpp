// The clipboard helpers on the application's clipboard (the offscreen
// platform keeps an in-process one).
#include "platform/Clipboard.h"

#include "platform/Stream.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ClipboardAvailable()) GTEST_SKIP() << "no clipboard in this process";
        // Probe once: some platforms accept the data but never hand it back.
        auto* probe = new QMimeData;
        probe->setData("application/x-keldra-probe", "1");
        QGuiApplication::clipboard()->setMimeData(probe);
        const QMimeData* back = QGuiApplication::clipboard()->mimeData();
        if (back == nullptr || back->data("application/x-keldra-probe") != "1")
            GTEST_SKIP() << "the platform's clipboard does not keep data";
    }
};

std::vector<std::uint8_t> AllBytes() {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
    bytes.push_back(0);
    return bytes;
}

TEST_F(ClipboardTest, StreamBytesTravelUnchangedAndReplaceOldContent) {
    QGuiApplication::clipboard()->setText("alter Text");
    TMemoryStream source(AllBytes());
    source.Seek(17); // the position does not matter: the whole content is copied
    StreamToClipboard(source, kFigureMimeType);
    EXPECT_EQ(source.Position(), 17);

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasText());
    EXPECT_TRUE(ClipboardHasFormat(kFigureMimeType));
    EXPECT_FALSE(ClipboardHasFormat(kEmfMimeType));

    TMemoryStream target;
    EXPECT_TRUE(ClipboardToStream(target, kFigureMimeType));
    EXPECT_EQ(target.Data(), AllBytes());
    EXPECT_EQ(target.Position(), 0);
}

TEST_F(ClipboardTest, ClipboardDataIsAppendedAndStreamRewound) {
    TMemoryStream source(std::vector<std::uint8_t>{0x15, 0x01, 0x00, 0x00, 0x00});
    StreamToClipboard(source, kFigureMimeType);

    TMemoryStream target(std::vector<std::uint8_t>{0xAA, 0xBB, 0xCC});
    target.Seek(1); // appended at the end, not at the position
    ASSERT_TRUE(ClipboardToStream(target, kFigureMimeType));
    EXPECT_EQ(target.Data(), (std::vector<std::uint8_t>{0xAA, 0xBB, 0xCC, 0x15, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(target.Position(), 0);
}

TEST_F(ClipboardTest, MissingFormatLeavesStreamAlone) {
    QGuiApplication::clipboard()->setText("nur Text");
    TMemoryStream target(std::vector<std::uint8_t>{1, 2, 3});
    target.Seek(2);
    EXPECT_FALSE(ClipboardToStream(target, kFigureMimeType));
    EXPECT_EQ(target.Data(), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(target.Position(), 2);
}

TEST_F(ClipboardTest, AllFlavoursGoOnTogether) {
    TClipboardFlavours flavours;
    flavours.Figures = QByteArray("\x15\x01\x00\x00\x00", 5);
    flavours.Emf = QByteArray("\x01\x00\x00\x00emf", 7);
    flavours.Bitmap = QImage(4, 3, QImage::Format_RGB32);
    flavours.Bitmap.fill(Qt::red);
    FlavoursToClipboard(flavours);

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(kFigureMimeType), flavours.Figures);
    EXPECT_EQ(data->data(kEmfMimeType), flavours.Emf);
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(image.pixel(0, 0), QColor(Qt::red).rgb());

    // Empty members are left out.
    FlavoursToClipboard(TClipboardFlavours{flavours.Figures, {}, {}});
    EXPECT_TRUE(ClipboardHasFormat(kFigureMimeType));
    EXPECT_FALSE(ClipboardHasFormat(kEmfMimeType));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasImage());
}

} // namespace

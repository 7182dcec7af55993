// The sample drawings of samples/ and the real program on them.
//   KELDRA_WRITE_SAMPLES=/work/main/samples app_tests --gtest_filter=SampleDrawings.*
// writes the samples anew from SampleDrawings.h.
#include "SampleDrawings.h"

#include "app/BatchCommands.h"
#include "app/DocumentIO.h"
#include "app/QuellinProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

struct TSample {
    const char* File;
    void (*Build)(TVXDrawing&);
    QSize PagePixels;
    int Layers;
};

const TSample kSamples[] = {
    {"grundriss.qld", &Samples::BuildFloorPlan, QSize(1188, 840), 5},
    {"flansch.qld", &Samples::BuildFlange, QSize(840, 592), 4},
};

QString SamplePath(const char* file) {
    return QStringLiteral(KELDRA_SAMPLES "/") + QString::fromLatin1(file);
}

// The listing, with texts cut after their first point: a text's other points
// come from the font's measures, which may differ between machines.
QString Listing(const TVXDrawing& drawing) {
    QString text;
    QTextStream out(&text);
    ListDrawing(drawing, out);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.startsWith(QLatin1String("figure ")) && line.contains(QLatin1String(" TText ")))
            line.truncate(line.indexOf(QLatin1Char(')')) + 1);
    return lines.join(QLatin1Char('\n'));
}

TEST(SampleDrawings, StoredSamplesMatchTheirBuilders) {
    const QString writeTo = qEnvironmentVariable("KELDRA_WRITE_SAMPLES");
    for (const TSample& sample : kSamples) {
        SCOPED_TRACE(sample.File);
        TVXDrawing built;
        sample.Build(built);
        if (!writeTo.isEmpty()) {
            ASSERT_EQ(WriteDrawingFile(built, QDir(writeTo).filePath(QString::fromLatin1(sample.File)))
                          .toStdString(),
                      "");
            continue;
        }
        TVXDrawing stored;
        ASSERT_EQ(ReadDrawingFile(stored, SamplePath(sample.File)).toStdString(), "");
        EXPECT_EQ(stored.LayerCount(), sample.Layers);
        EXPECT_EQ(Listing(stored).toStdString(), Listing(built).toStdString());
    }
}

TEST(SampleDrawings, ListedByTheProgramInUtf8) {
    const TRun run = RunQuellin({QStringLiteral("--list"), SamplePath("grundriss.qld")});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
    const QList<QByteArray> lines = run.Out.split('\n');
    ASSERT_GT(lines.size(), 6);
    EXPECT_EQ(lines[0], QByteArray("page 297 x 210 mm"));
    EXPECT_EQ(lines[1], QByteArray("layer 0 \"Base Layer\" visible"));
    EXPECT_EQ(lines[2], QByteArray("layer 1 \"W\xC3\xA4nde\" visible"));
    EXPECT_EQ(lines[6],
              QByteArray("figure 0 TPolyline \"Wand 1\" layer 1 points (40,30) (250,30) (250,170) (40,170)"));
    EXPECT_EQ(lines[12], QByteArray("figure 6 TArc \"Bogen 1\" layer 2 points (140,90) (160,90) (140,110)"));
    EXPECT_TRUE(lines[18].startsWith("figure 12 TText \"Text 1\" layer 3 points (135,13) "))
        << lines[18].toStdString();
}

TEST(SampleDrawings, ConvertedByTheProgram) {
    QTemporaryDir dir;
    for (const TSample& sample : kSamples) {
        SCOPED_TRACE(sample.File);
        const QString in = SamplePath(sample.File);
        // .qld round trip: the copy lists exactly as the original.
        const QString copy = dir.filePath(QStringLiteral("kopie.qld"));
        TRun run = RunQuellin({QStringLiteral("--convert"), in, copy});
        ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
        const TRun original = RunQuellin({QStringLiteral("--list"), in});
        const TRun copied = RunQuellin({QStringLiteral("--list"), copy});
        EXPECT_EQ(copied.Status, 0);
        EXPECT_EQ(copied.Out.toStdString(), original.Out.toStdString());
        // The page as a picture at 100 %: 4 pixels per millimetre, with the figures on it.
        for (const char* picture : {"seite.png", "seite.bmp"}) {
            SCOPED_TRACE(picture);
            const QString out = dir.filePath(QString::fromLatin1(picture));
            run = RunQuellin({QStringLiteral("--convert"), in, out});
            ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
            const QImage image = QImage(out).convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(image.size(), sample.PagePixels);
            int marked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++marked;
            EXPECT_GT(marked, 2000);
        }
    }
}

TEST(SampleDrawings, ConvertedToABlockFile) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("Flansch.qlb"));
    const TRun run = RunQuellin({QStringLiteral("--convert"), SamplePath("flansch.qld"), out});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(7), QByteArray("TBlock\0", 7));
}

} // namespace

#include "widgets/pictureiconengine.h"
#include "widgets/scalablepicture.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestScalablePicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void doubledDrawingReadWhenFirstNeeded_data();
    void doubledDrawingReadWhenFirstNeeded();
    void iconShowsTheDrawingForItsRatio_data();
    void iconShowsTheDrawingForItsRatio();
};

namespace {

QImage filled(int size, const QColor &colour)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

void TestScalablePicture::doubledDrawingReadWhenFirstNeeded_data()
{
    QTest::addColumn<QString>("normal"); // the file of the normal drawing; the doubled is a PNG
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("centre");

    QTest::newRow("normal density") << u"glyph.png"_s << 1.0 << QSize(8, 8) << qRgb(0, 0, 255);
    QTest::newRow("double density") << u"glyph.png"_s << 2.0 << QSize(16, 16) << qRgb(0, 128, 0);
    QTest::newRow("in between") << u"glyph.png"_s << 1.5 << QSize(12, 12) << qRgb(0, 128, 0);
    QTest::newRow("raw normal drawing, normal density")
        << u"glyph.ppm"_s << 1.0 << QSize(8, 8) << qRgb(0, 0, 255);
    QTest::newRow("raw normal drawing")
        << u"glyph.ppm"_s << 2.0 << QSize(16, 16) << qRgb(0, 128, 0);
}

// A screen of normal density never reads the doubled drawing; a denser one reads it when it first
// shows the picture, once for every copy of it.
void TestScalablePicture::doubledDrawingReadWhenFirstNeeded()
{
    QFETCH(QString, normal);
    QFETCH(qreal, ratio);
    QFETCH(QSize, size);
    QFETCH(QRgb, centre);

    QTemporaryDir dir;
    const QString doubled = dir.filePath(u"glyph@2x.png"_s);
    QVERIFY(filled(8, Qt::blue).save(dir.filePath(normal)));
    QVERIFY(filled(16, Qt::red).save(doubled));
    const TScalablePicture picture = TScalablePicture::FromFile(dir.filePath(normal));
    const TScalablePicture copy = picture;
    // Drawn anew after the picture was made and before it is first shown.
    QVERIFY(filled(16, QColor(0, 128, 0)).save(doubled));

    const QImage shown = copy.ForRatio(ratio);
    QCOMPARE(shown.size(), size);
    QCOMPARE(shown.devicePixelRatio(), ratio);
    QCOMPARE(shown.pixel(size.width() / 2, size.height() / 2), centre);
    // Read once: the original shares what the copy read.
    QVERIFY(QFile::remove(doubled));
    QCOMPARE(picture.ForRatio(ratio).pixel(size.width() / 2, size.height() / 2), centre);
}

void TestScalablePicture::iconShowsTheDrawingForItsRatio_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("logical"); // the size asked for
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QRgb>("centre");

    QTest::newRow("normal density") << 1.0 << QSize(8, 8) << QSize(8, 8) << qRgb(0, 0, 255);
    QTest::newRow("double density") << 2.0 << QSize(8, 8) << QSize(16, 16) << qRgb(0, 128, 0);
    QTest::newRow("asked for less than its size")
        << 2.0 << QSize(4, 4) << QSize(8, 8) << qRgb(0, 128, 0);
}

// An icon made from a picture reads the doubled drawing only when a dense screen first shows it,
// and then shows that drawing.
void TestScalablePicture::iconShowsTheDrawingForItsRatio()
{
    QFETCH(qreal, ratio);
    QFETCH(QSize, logical);
    QFETCH(QSize, pixels);
    QFETCH(QRgb, centre);

    QTemporaryDir dir;
    const QString doubled = dir.filePath(u"glyph@2x.png"_s);
    QVERIFY(filled(8, Qt::blue).save(dir.filePath(u"glyph.ppm"_s)));
    QVERIFY(filled(16, Qt::red).save(doubled));
    const QIcon icon(
        new TPictureIconEngine(TScalablePicture::FromFile(dir.filePath(u"glyph.ppm"_s))));
    QVERIFY(filled(16, QColor(0, 128, 0)).save(doubled));

    const QImage shown = icon.pixmap(logical, ratio).toImage();
    QCOMPARE(shown.size(), pixels);
    QCOMPARE(shown.devicePixelRatio(), ratio);
    QCOMPARE(shown.pixel(pixels.width() / 2, pixels.height() / 2), centre);
}

QTEST_MAIN(TestScalablePicture)
#include "tst_scalablepicture.moc"

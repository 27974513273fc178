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
    void alphaPictureReadFromItsBytes_data();
    void alphaPictureReadFromItsBytes();
};

namespace {

QImage filled(int size, const QColor &colour)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A picture of four pixels: opaque, half covered, fully transparent and faint, each in another
// colour, written as a PAM file with the given header lines.
QByteArray pamFile(const QByteArray &header, QImage &picture)
{
    picture = QImage(2, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 10, 20, 255));
    picture.setPixel(1, 0, qRgba(30, 140, 50, 128));
    picture.setPixel(0, 1, qRgba(0, 0, 0, 0));
    picture.setPixel(1, 1, qRgba(250, 250, 5, 3));
    const QImage bytes = picture.convertToFormat(QImage::Format_RGBA8888);
    QByteArray file = header;
    for (int y = 0; y < bytes.height(); ++y)
        file.append(reinterpret_cast<const char *>(bytes.constScanLine(y)), bytes.width() * 4);
    return file;
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

void TestScalablePicture::alphaPictureReadFromItsBytes_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("read");

    const QByteArray tail = "DEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    QTest::newRow("as written") << "P7\nWIDTH 2\nHEIGHT 2\n" + tail << true;
    QTest::newRow("comment and spaces") << "P7\n# badge\n  WIDTH   2\nHEIGHT 2\n" + tail << true;
    QTest::newRow("three channels")
        << QByteArray("P7\nWIDTH 2\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n")
        << false;
    QTest::newRow("fewer bytes than pixels") << "P7\nWIDTH 2\nHEIGHT 3\n" + tail << false;
    QTest::newRow("no end of header") << QByteArray("P7\nWIDTH 2\nHEIGHT 2\n") << false;
}

// A picture with an alpha channel stored as raw pixels (PAM) reads with every pixel and its
// coverage as drawn; a file that does not hold what its header says reads as no picture.
void TestScalablePicture::alphaPictureReadFromItsBytes()
{
    QFETCH(QByteArray, header);
    QFETCH(bool, read);

    QTemporaryDir dir;
    QImage drawn;
    QFile file(dir.filePath(u"badge.pam"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(pamFile(header, drawn)) > 0);
    file.close();

    const QImage shown = TScalablePicture::FromFile(file.fileName()).ForRatio(1.0);
    QCOMPARE(shown.isNull(), !read);
    if (read)
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32), drawn);
}

QTEST_MAIN(TestScalablePicture)
#include "tst_scalablepicture.moc"

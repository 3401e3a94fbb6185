// Build-time tool: renders the SVG drawings of the resources to PNG files and to a multi-size ICO.
//   iconrender png <in.svg> <out.png> <width> <height>
//   iconrender ico <in.svg> <out.ico> <size>...
// An ICO file may hold PNG images; each size is stored as one.

#include <QBuffer>
#include <QFile>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>

namespace {

QImage Render(QSvgRenderer& renderer, int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image;
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void Put16(QByteArray& out, quint16 nValue)
{
    char bytes[2];
    qToLittleEndian(nValue, bytes);
    out.append(bytes, 2);
}

void Put32(QByteArray& out, quint32 nValue)
{
    char bytes[4];
    qToLittleEndian(nValue, bytes);
    out.append(bytes, 4);
}

int Fail(const char* szWhat, const QString& strDetail)
{
    std::fprintf(stderr, "iconrender: %s %s\n", szWhat, qPrintable(strDetail));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return Fail("usage:", QStringLiteral("png <in.svg> <out.png> <w> <h> | ico <in.svg> <out.ico> <size>..."));

    QSvgRenderer renderer(args.at(2));
    if (!renderer.isValid())
        return Fail("cannot read", args.at(2));

    if (args.at(1) == QLatin1String("png") && args.size() == 6) {
        const QImage image = Render(renderer, args.at(4).toInt(), args.at(5).toInt());
        if (image.isNull() || !image.save(args.at(3), "PNG"))
            return Fail("cannot write", args.at(3));
        return 0;
    }
    if (args.at(1) == QLatin1String("ico")) {
        QList<QByteArray> images;
        QList<int> sizes;
        for (int i = 4; i < args.size(); ++i) {
            const int nSize = args.at(i).toInt();
            if (nSize <= 0 || nSize > 256)
                return Fail("bad icon size", args.at(i));
            sizes.append(nSize);
            images.append(PngBytes(Render(renderer, nSize, nSize)));
        }
        QByteArray out;
        Put16(out, 0);
        Put16(out, 1); // icon
        Put16(out, quint16(images.size()));
        quint32 nOffset = 6 + 16 * quint32(images.size());
        for (int i = 0; i < images.size(); ++i) {
            out.append(char(sizes.at(i) == 256 ? 0 : sizes.at(i)));
            out.append(char(sizes.at(i) == 256 ? 0 : sizes.at(i)));
            out.append(char(0)); // no palette
            out.append(char(0));
            Put16(out, 1);  // colour planes
            Put16(out, 32); // bits per pixel
            Put32(out, quint32(images.at(i).size()));
            Put32(out, nOffset);
            nOffset += quint32(images.at(i).size());
        }
        for (const QByteArray& image : qAsConst(images))
            out.append(image);
        QFile file(args.at(3));
        if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size())
            return Fail("cannot write", args.at(3));
        return 0;
    }
    return Fail("unknown mode", args.at(1));
}

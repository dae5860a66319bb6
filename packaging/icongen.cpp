// suirei-icongen: draws the application icon from its SVG at a fixed size,
// for the desktop's fixed-size icon folders, or at several sizes into one
// Windows icon file (each size a PNG inside it, as Windows 10 and 11 read).
//
//   suirei-icongen icon.svg size out.png
//   suirei-icongen icon.svg size,size,... out.ico
//
// Errors name the file and the problem and give exit status 1; a warning from
// the SVG renderer counts as an error, so the icon never loses part of itself
// without anyone noticing.

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QStringList rendererWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool fromSvg = context.category && QByteArray(context.category).startsWith("qt.svg");
    if (fromSvg || type >= QtWarningMsg) rendererWarnings << message;
}

int failWith(const QString& file, const QString& problem) {
    std::fprintf(stderr, "suirei-icongen: %s: %s\n", qPrintable(file), qPrintable(problem));
    return 1;
}

// An icon file: a directory of its images, then each image as a PNG.
QByteArray iconFile(const QList<QByteArray>& pngs, const QList<int>& sizes) {
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(pngs.size());  // an icon, not a cursor
    quint32 offset = 6 + 16 * pngs.size();
    for (qsizetype i = 0; i < pngs.size(); ++i) {
        const quint8 side = sizes[i] >= 256 ? 0 : sizes[i];  // 0 stands for 256
        out << side << side << quint16(0);                    // no palette
        out << quint16(1) << quint16(32);                     // planes, bits per pixel
        out << quint32(pngs[i].size()) << offset;
        offset += pngs[i].size();
    }
    for (const QByteArray& png : pngs) out.writeRawData(png.constData(), int(png.size()));
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    // No window is ever shown; the offscreen platform keeps a display out of it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: suirei-icongen icon.svg size out.png\n"
                             "       suirei-icongen icon.svg size,size,... out.ico\n");
        return 2;
    }
    const QString& source = args[1];
    const QString& target = args[3];
    const bool ico = target.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive);
    QList<int> sizes;
    for (const QString& word : args[2].split(QLatin1Char(','))) {
        bool ok = false;
        const int size = word.toInt(&ok);
        if (!ok || size < 16 || size > (ico ? 256 : 1024))
            return failWith(args[2], ico ? QStringLiteral("sizes must be 16 to 256 pixels")
                                         : QStringLiteral("size must be 16 to 1024 pixels"));
        sizes << size;
    }
    if (!ico && sizes.size() != 1) return failWith(args[2], QStringLiteral("a PNG file has one size"));

    qInstallMessageHandler(collectWarnings);
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) return failWith(source, QStringLiteral("not a drawable SVG file"));

    QList<QByteArray> pngs;
    for (int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        if (!image.save(&png, "PNG")) return failWith(target, QStringLiteral("cannot encode the PNG image"));
        pngs << png.data();
    }
    qInstallMessageHandler(nullptr);
    if (!rendererWarnings.isEmpty()) return failWith(source, rendererWarnings.join(QStringLiteral("; ")));

    QFile out(target);
    const QByteArray bytes = ico ? iconFile(pngs, sizes) : pngs.front();
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() || !out.flush())
        return failWith(target, ico ? QStringLiteral("cannot write the icon file") : QStringLiteral("cannot write the PNG file"));
    return 0;
}

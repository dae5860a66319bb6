// suirei-picgen: turns the hand-drawn SVG scenes in assets/ into the 24-bit
// Windows bitmaps the game window loads, and lays them out on a contact sheet.
//
//   suirei-picgen [--parts parts.svg]... scene.svg out.bmp
//       Render one scene at 143 x 119 pixels (the inside of the picture box,
//       border excluded). Every --parts file contributes its <defs> to the
//       scene, so shared drawings (halls, figures, mist bands) are referenced
//       with <use xlink:href="#id"/>.
//   suirei-picgen --sheet out.png [--scale N] picture.bmp...
//       One PNG with every picture scaled N times (default 2), each labelled
//       with its file name, in the order given.
//
// Errors name the file and the problem and give exit status 1; any warning the
// SVG renderer raises (unknown element, unresolved reference) is an error too,
// so a picture never silently loses part of its drawing.

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace {

constexpr int pictureWidth = 143;
constexpr int pictureHeight = 119;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString& file, const QString& problem) {
    throw Failure((file + ": " + problem).toStdString());
}

// Renderer warnings collected while one scene is parsed and drawn.
QStringList rendererWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool fromSvg = context.category && QByteArray(context.category).startsWith("qt.svg");
    if (fromSvg || type >= QtWarningMsg) rendererWarnings << message;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(path, "cannot open: " + file.errorString());
    return file.readAll();
}

// The <defs> element of a parts file, verbatim.
QByteArray partsDefs(const QString& path) {
    const QByteArray text = readFile(path);
    const qsizetype begin = text.indexOf("<defs");
    const qsizetype end = text.lastIndexOf("</defs>");
    if (begin < 0 || end < begin) fail(path, "holds no <defs> element to share");
    return text.mid(begin, end + 7 - begin);
}

// The scene text with the shared defs placed right after its root start tag.
QByteArray withParts(const QString& path, const QByteArray& scene, const QByteArray& parts) {
    QXmlStreamReader xml(scene);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (xml.name() != QLatin1String("svg")) fail(path, "root element is not <svg>");
            const qsizetype at = xml.characterOffset();
            // characterOffset counts characters; the files are UTF-8, so map
            // it back onto bytes through the decoded text.
            const QString decoded = QString::fromUtf8(scene);
            const QByteArray head = decoded.left(at).toUtf8();
            return head + "\n" + parts + "\n" + scene.mid(head.size());
        }
    }
    fail(path, "not an SVG drawing (" +
                   (xml.hasError() ? xml.errorString() : QStringLiteral("no root element")) + ")");
}

void checkFonts(const QString& path, const QByteArray& scene) {
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]+)\""));
    const QStringList installed = QFontDatabase::families();
    auto it = family.globalMatch(QString::fromUtf8(scene));
    while (it.hasNext()) {
        const QStringList wanted = it.next().captured(1).split(',', Qt::SkipEmptyParts);
        bool found = false;
        for (QString name : wanted) {
            name = name.trimmed().remove('\'');
            if (installed.contains(name, Qt::CaseInsensitive)) found = true;
        }
        if (!found)
            fail(path, "none of the fonts " + wanted.join(',') +
                           " is installed (IPAMincho: Debian package fonts-ipafont-mincho)");
    }
}

void checkIsBmp24(const QString& path, int width, int height) {
    const QByteArray head = readFile(path).left(54);
    auto u16 = [&](int at) { return quint8(head[at]) | quint8(head[at + 1]) << 8; };
    auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    if (head.size() < 54 || !head.startsWith("BM") || u32(14) != 40 || u16(28) != 24 ||
        u32(30) != 0 || int(u32(18)) != width || int(u32(22)) != height)
        fail(path, "was not written as an uncompressed 24-bit bitmap");
}

void renderScene(const QString& svgPath, const QStringList& partsPaths, const QString& bmpPath) {
    QByteArray scene = readFile(svgPath);
    QByteArray parts;
    for (const QString& p : partsPaths) parts += partsDefs(p) + "\n";
    if (!parts.isEmpty()) scene = withParts(svgPath, scene, parts);
    checkFonts(svgPath, scene);

    rendererWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    QSvgRenderer renderer(scene);
    QImage drawn(pictureWidth, pictureHeight, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&drawn);
        renderer.render(&painter, QRectF(0, 0, pictureWidth, pictureHeight));
    }
    qInstallMessageHandler(previous);

    if (!renderer.isValid())
        fail(svgPath, "cannot be parsed as SVG" +
                          (rendererWarnings.isEmpty() ? QString() : ": " + rendererWarnings.join("; ")));
    if (!rendererWarnings.isEmpty()) fail(svgPath, "renderer warns: " + rendererWarnings.join("; "));

    bool anything = false;
    for (int y = 0; y < drawn.height() && !anything; ++y)
        for (int x = 0; x < drawn.width() && !anything; ++x)
            anything = qAlpha(drawn.pixel(x, y)) != 0;
    if (!anything) fail(svgPath, "renders empty: nothing is drawn inside 143 x 119");

    QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB888);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, drawn);
    }
    if (!picture.save(bmpPath, "BMP")) fail(bmpPath, "cannot be written");
    checkIsBmp24(bmpPath, pictureWidth, pictureHeight);
}

void contactSheet(const QString& pngPath, const QStringList& pictures, int scale) {
    const int columns = std::min(6, int(pictures.size()));
    constexpr int gap = 12;
    constexpr int label = 18;
    const int cellW = pictureWidth * scale, cellH = pictureHeight * scale;
    const int rows = (int(pictures.size()) + columns - 1) / columns;
    QImage sheet(gap + columns * (cellW + gap), gap + rows * (cellH + label + gap),
                 QImage::Format_RGB888);
    sheet.fill(QColor(255, 128, 128));  // the window's own background
    QPainter painter(&sheet);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(13);
    painter.setFont(font);
    for (int i = 0; i < pictures.size(); ++i) {
        QImage picture(pictures[i], "BMP");
        if (picture.isNull()) fail(pictures[i], "cannot be read as a bitmap");
        const int x = gap + (i % columns) * (cellW + gap);
        const int y = gap + (i / columns) * (cellH + label + gap);
        painter.fillRect(x - 1, y - 1, cellW + 2, cellH + 2, Qt::black);
        painter.drawImage(QRect(x, y, picture.width() * scale, picture.height() * scale), picture);
        painter.setPen(Qt::black);
        painter.drawText(QRect(x, y + cellH + 2, cellW, label - 2), Qt::AlignLeft | Qt::AlignVCenter,
                         QFileInfo(pictures[i]).fileName());
    }
    painter.end();
    if (!sheet.save(pngPath, "PNG")) fail(pngPath, "cannot be written");
}

int usage() {
    std::fputs("usage: suirei-picgen [--parts parts.svg]... scene.svg out.bmp\n"
               "       suirei-picgen --sheet out.png [--scale N] picture.bmp...\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures are made on build machines without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    try {
        if (!args.isEmpty() && args.first() == "--sheet") {
            if (args.size() < 3) return usage();
            const QString out = args[1];
            args = args.mid(2);
            int scale = 2;
            if (args.size() >= 2 && args.first() == "--scale") {
                scale = args[1].toInt();
                if (scale < 1 || scale > 8) return usage();
                args = args.mid(2);
            }
            if (args.isEmpty()) return usage();
            contactSheet(out, args, scale);
            return 0;
        }
        QStringList parts;
        while (args.size() >= 2 && args.first() == "--parts") {
            parts << args[1];
            args = args.mid(2);
        }
        if (args.size() != 2) return usage();
        renderScene(args[0], parts, args[1]);
        return 0;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "suirei-picgen: %s\n", failure.what());
        return 1;
    }
}

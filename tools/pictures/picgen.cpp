// suirei-picgen: turns the hand-drawn SVG scenes in assets/ into the 24-bit
// Windows bitmaps the game window loads, and lays them out on a contact sheet.
//
//   suirei-picgen [--parts parts.svg]... scene.svg out.bmp
//       Render one scene at 143 x 119 pixels (the inside of the picture box,
//       border excluded). Every --parts file contributes its <defs> to the
//       scene, so shared drawings (halls, figures, mist bands) are referenced
//       with <use xlink:href="#id"/>.
//   suirei-picgen [--parts parts.svg]... --scale N scene.svg out.png
//       The same scene drawn N times as large (1 to 8), as PNG: what the
//       picture looks like on a screen that shows it N times over.
//   suirei-picgen [--parts parts.svg]... --web scene.svg out.svg
//       The scene as one drawing on its own for the browser, which draws it
//       sharp at whatever size the window is scaled to: only the shared parts
//       it uses, no comments, and every <text> turned into the outlines of its
//       glyphs, since a player's browser has none of our fonts. The tool draws
//       it back and refuses it if it does not look like the scene.
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
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <QRegularExpression>
#include <QStringList>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtXml/QDomDocument>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>
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
        const bool found = std::any_of(wanted.begin(), wanted.end(), [&](QString name) {
            return installed.contains(name.trimmed().remove('\''), Qt::CaseInsensitive);
        });
        if (!found)
            fail(path, "none of the fonts " + wanted.join(',') +
                           " is installed (IPAMincho: Debian package fonts-ipafont-mincho)");
    }
}

// The scene with its parts drawn `scale` times its size on white, checked:
// it parses, the renderer does not warn, and something is drawn.
QImage drawScene(const QString& svgPath, const QByteArray& scene, int scale) {
    checkFonts(svgPath, scene);

    rendererWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    QSvgRenderer renderer(scene);
    QImage drawn(pictureWidth * scale, pictureHeight * scale, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&drawn);
        renderer.render(&painter, QRectF(0, 0, drawn.width(), drawn.height()));
    }
    qInstallMessageHandler(previous);

    if (!renderer.isValid())
        fail(svgPath, "cannot be parsed as SVG" +
                          (rendererWarnings.isEmpty() ? QString() : ": " + rendererWarnings.join("; ")));
    if (!rendererWarnings.isEmpty()) fail(svgPath, "renderer warns: " + rendererWarnings.join("; "));

    const auto* pixels = reinterpret_cast<const QRgb*>(drawn.constBits());
    if (std::none_of(pixels, pixels + drawn.width() * drawn.height(), [](QRgb p) { return qAlpha(p) != 0; }))
        fail(svgPath, "renders empty: nothing is drawn inside 143 x 119");

    QImage picture(drawn.width(), drawn.height(), QImage::Format_RGB888);
    picture.fill(Qt::white);
    QPainter(&picture).drawImage(0, 0, drawn);
    return picture;
}

QByteArray sceneWithParts(const QString& svgPath, const QStringList& partsPaths) {
    QByteArray scene = readFile(svgPath);
    QByteArray parts;
    for (const QString& p : partsPaths) parts += partsDefs(p) + "\n";
    if (!parts.isEmpty()) scene = withParts(svgPath, scene, parts);
    return scene;
}

// The scene `scale` times its size, as the game's bitmap (BMP: 24 bits, as
// the image has no alpha) or a PNG.
void render(const QString& svgPath, const QStringList& partsPaths, int scale, const QString& outPath, const char* format) {
    const QImage picture = drawScene(svgPath, sceneWithParts(svgPath, partsPaths), scale);
    if (!picture.save(outPath, format)) fail(outPath, "cannot be written");
}

// ── The scene for the browser ──

QDomDocument parseXml(const QString& path, const QByteArray& text) {
    QDomDocument doc;
    QString problem;
    int line = 0;
    if (!doc.setContent(text, &problem, &line))
        fail(path, QStringLiteral("cannot be parsed as SVG: %1 at line %2").arg(problem).arg(line));
    if (doc.documentElement().tagName() != QLatin1String("svg")) fail(path, "root element is not <svg>");
    return doc;
}

std::vector<QDomElement> elementsOf(const QDomElement& root) {
    std::vector<QDomElement> all{root};
    for (std::size_t i = 0; i < all.size(); ++i)
        for (QDomElement c = all[i].firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) all.push_back(c);
    return all;
}

// The ids an element and everything inside it refer to: <use xlink:href="#id">
// and fill="url(#id)".
QStringList references(const QDomElement& root) {
    static const QRegularExpression url(QStringLiteral("url\\(#([^)]+)\\)"));
    QStringList ids;
    for (const QDomElement& e : elementsOf(root)) {
        const QDomNamedNodeMap attributes = e.attributes();
        for (int i = 0; i < attributes.count(); ++i) {
            const QDomAttr a = attributes.item(i).toAttr();
            if (a.name().endsWith(QLatin1String("href")) && a.value().startsWith('#')) ids << a.value().mid(1);
            for (auto m = url.globalMatch(a.value()); m.hasNext();) ids << m.next().captured(1);
        }
    }
    return ids;
}

// Comments, the XML declaration and the white space between elements say
// nothing to a browser.
void dropComments(QDomNode node) {
    for (QDomNode c = node.firstChild(); !c.isNull();) {
        const QDomNode next = c.nextSibling();
        const bool blank = c.isText() && c.nodeValue().trimmed().isEmpty() && node.nodeName() != QLatin1String("text");
        if (c.isComment() || c.isProcessingInstruction() || blank) node.removeChild(c);
        else dropComments(c);
        c = next;
    }
}

QString inherited(const QDomElement& e, const QString& name) {
    for (QDomNode n = e; n.isElement(); n = n.parentNode())
        if (n.toElement().hasAttribute(name)) return n.toElement().attribute(name);
    return {};
}

QString number(double v) {
    QString s = QString::number(v, 'f', 2);
    while (s.endsWith('0')) s.chop(1);
    if (s.endsWith('.')) s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

QString pathData(const QPainterPath& path) {
    auto point = [&path](int i) { return number(path.elementAt(i).x) + ',' + number(path.elementAt(i).y); };
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) d += (d.isEmpty() ? "M" : "ZM") + point(i);
        else if (e.isLineTo()) d += 'L' + point(i);
        else if (e.isCurveTo()) {
            d += 'C' + point(i) + ' ' + point(i + 1) + ' ' + point(i + 2);
            i += 2;
        }
    }
    return d.isEmpty() ? d : d + 'Z';
}

// A <text> as the outlines of its glyphs in the face the game's pictures show
// it in, placed as the renderer places the text: at x, y on the baseline, anchored
// at its start, middle or end.
void outlineText(const QString& svgPath, QDomElement text) {
    if (!text.firstChildElement().isNull())
        fail(svgPath, "<text> holds elements; only plain text can be turned into outlines");
    // The face the renderer draws the text in: it takes the attribute whole,
    // as one family name, and the font system picks the face for it.
    QFont font;
    font.setFamilies({inherited(text, QStringLiteral("font-family"))});
    bool ok = false;
    const double size = inherited(text, QStringLiteral("font-size")).remove(QLatin1String("px")).toDouble(&ok);
    if (!ok || size <= 0) fail(svgPath, "<text> has no font-size in user units");

    // Outlines taken at a large size, for precision, and scaled down.
    constexpr int large = 256;
    font.setPixelSize(large);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QString chars = text.text();
    QPainterPath glyphs;
    glyphs.addText(0, 0, font, chars);
    const double factor = size / large;
    const double advance = QFontMetricsF(font).horizontalAdvance(chars) * factor;
    const QString anchor = inherited(text, QStringLiteral("text-anchor"));
    const double shift = anchor == QLatin1String("middle") ? advance / 2 : anchor == QLatin1String("end") ? advance : 0;
    QTransform place;
    place.translate(text.attribute("x").toDouble() - shift, text.attribute("y").toDouble());
    place.scale(factor, factor);

    QDomElement path = text.ownerDocument().createElement(QStringLiteral("path"));
    static const QStringList textOnly = {"x", "y", "font-family", "font-size", "font-weight", "font-style", "text-anchor"};
    const QDomNamedNodeMap attributes = text.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr a = attributes.item(i).toAttr();
        if (!textOnly.contains(a.name())) path.setAttribute(a.name(), a.value());
    }
    if (glyphs.fillRule() == Qt::OddEvenFill) path.setAttribute(QStringLiteral("fill-rule"), QStringLiteral("evenodd"));
    path.setAttribute(QStringLiteral("d"), pathData(place.map(glyphs)));
    text.parentNode().replaceChild(path, text);
}

QByteArray webScene(const QString& svgPath, const QStringList& partsPaths) {
    QDomDocument scene = parseXml(svgPath, readFile(svgPath));
    QDomElement root = scene.documentElement();

    // Every shared part by id, in the order of the parts files.
    std::vector<std::pair<QString, QDomElement>> parts;
    for (const QString& p : partsPaths) {
        const QDomDocument doc = parseXml(p, readFile(p));
        const QDomElement defs = doc.documentElement().firstChildElement(QStringLiteral("defs"));
        if (defs.isNull()) fail(p, "holds no <defs> element to share");
        for (QDomElement e = defs.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            if (e.hasAttribute("id")) parts.emplace_back(e.attribute("id"), e);
    }

    // The parts the scene uses, and the parts they use in turn.
    QStringList own;
    for (const QDomElement& e : elementsOf(root))
        if (e.hasAttribute("id")) own << e.attribute("id");
    QStringList wanted = references(root);
    std::vector<bool> used(parts.size(), false);
    while (!wanted.isEmpty()) {
        const QString id = wanted.takeFirst();
        if (own.contains(id)) continue;
        const auto it = std::find_if(parts.begin(), parts.end(), [&](const auto& p) { return p.first == id; });
        if (it == parts.end()) fail(svgPath, "refers to #" + id + ", which no part defines");
        const std::size_t at = std::size_t(it - parts.begin());
        if (used[at]) continue;
        used[at] = true;
        wanted += references(it->second);
    }
    QDomElement defs = scene.createElement(QStringLiteral("defs"));
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (used[i]) defs.appendChild(scene.importNode(parts[i].second, true));
    if (defs.hasChildNodes()) root.insertBefore(defs, root.firstChild());

    for (const QDomElement& e : elementsOf(root))
        if (e.tagName() == QLatin1String("text")) outlineText(svgPath, e);
    dropComments(scene);
    return scene.toByteArray(-1);
}

// The scene for the browser, checked against the scene itself: drawn at four
// times the size, hardly a pixel may differ clearly (glyph edges smoothed a
// little differently as outlines), nowhere may a shape be missing.
void renderWeb(const QString& svgPath, const QStringList& partsPaths, const QString& outPath) {
    const QByteArray web = webScene(svgPath, partsPaths);
    constexpr int scale = 4;
    const QImage expected = drawScene(svgPath, sceneWithParts(svgPath, partsPaths), scale);
    const QImage drawn = drawScene(outPath, web, scale);
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y) {
        const uchar* a = expected.constScanLine(y);
        const uchar* b = drawn.constScanLine(y);
        for (int x = 0; x < expected.width() * 3; x += 3) {
            int most = 0;
            for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(int(a[x + c]) - int(b[x + c])));
            if (most > 64) ++differing;
        }
    }
    const int allowed = expected.width() * expected.height() / 200;
    if (differing > allowed)
        fail(outPath, QStringLiteral("does not look like %1: %2 of %3 pixels differ at %4 times the size")
                          .arg(svgPath).arg(differing).arg(expected.width() * expected.height()).arg(scale));
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(web) != web.size() || !out.flush())
        fail(outPath, "cannot be written: " + out.errorString());
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
               "       suirei-picgen [--parts parts.svg]... --scale N scene.svg out.png\n"
               "       suirei-picgen [--parts parts.svg]... --web scene.svg out.svg\n"
               "       suirei-picgen --sheet out.png [--scale N] picture.bmp...\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures are made on build machines without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The same drawing gives the same file, attributes in the same order.
    QHashSeed::setDeterministicGlobalSeed();
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
        if (args.size() == 3 && args.first() == "--web") {
            renderWeb(args[1], parts, args[2]);
            return 0;
        }
        if (args.size() == 4 && args.first() == "--scale") {
            const int scale = args[1].toInt();  // 0 when it is no number
            if (scale < 1 || scale > 8) return usage();
            render(args[2], parts, scale, args[3], "PNG");
            return 0;
        }
        if (args.size() != 2) return usage();
        render(args[0], parts, 1, args[1], "BMP");
        return 0;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "suirei-picgen: %s\n", failure.what());
        return 1;
    }
}

// suirei-icongen: draws the application icon from its SVG at a fixed size,
// for the desktop's fixed-size icon folders.
//
//   suirei-icongen icon.svg size out.png
//
// Errors name the file and the problem and give exit status 1; a warning from
// the SVG renderer counts as an error, so the icon never loses part of itself
// without anyone noticing.

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

}  // namespace

int main(int argc, char** argv) {
    // No window is ever shown; the offscreen platform keeps a display out of it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: suirei-icongen icon.svg size out.png\n");
        return 2;
    }
    const QString& source = args[1];
    const QString& target = args[3];
    bool ok = false;
    const int size = args[2].toInt(&ok);
    if (!ok || size < 16 || size > 1024) return failWith(args[2], QStringLiteral("size must be 16 to 1024 pixels"));

    qInstallMessageHandler(collectWarnings);
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) return failWith(source, QStringLiteral("not a drawable SVG file"));

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    qInstallMessageHandler(nullptr);
    if (!rendererWarnings.isEmpty()) return failWith(source, rendererWarnings.join(QStringLiteral("; ")));

    if (!image.save(target, "PNG")) return failWith(target, QStringLiteral("cannot write the PNG file"));
    return 0;
}

// Writes the fuzzer's first inputs: sound bitmaps of the kinds the game and
// common painting programs write, and the same bitmaps spoiled in the ways
// files get spoiled (cut short, wrong header, absurd sizes, bad offsets).
// With a second argument, the game's own pictures from that folder join them.
//
//   make-seeds <out-folder> [pictures-folder]
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cstdio>
#include <functional>

namespace {

QByteArray bmp(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QImage scene(int w, int h, QImage::Format format) {
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixelColor(x, y, QColor((x * 7) % 256, (y * 5) % 256, (x + y) % 256));
    return image.convertToFormat(format);
}

template <class T>
QByteArray with(QByteArray bytes, int at, T value) {
    if (bytes.size() >= at + static_cast<int>(sizeof(T))) qToLittleEndian<T>(value, bytes.data() + at);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <out-folder> [pictures-folder]\n", argv[0]);
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    int written = 0;
    auto put = [&](const char* name, const QByteArray& bytes) {
        QFile f(out.filePath(QString::fromLatin1(name)));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "make-seeds: cannot write %s\n", name);
            std::exit(1);
        }
        ++written;
    };

    const QByteArray game = bmp(scene(143, 119, QImage::Format_RGB888));  // the game's size and depth
    put("scene-24.bmp", game);
    put("tiny-24.bmp", bmp(scene(1, 1, QImage::Format_RGB888)));
    put("padded-24.bmp", bmp(scene(3, 5, QImage::Format_RGB888)));
    put("wide-24.bmp", bmp(scene(300, 2, QImage::Format_RGB888)));
    put("scene-32.bmp", bmp(scene(17, 9, QImage::Format_ARGB32)));
    put("scene-8.bmp", bmp(scene(13, 11, QImage::Format_Indexed8)));
    put("scene-1.bmp", bmp(scene(33, 4, QImage::Format_Mono)));
    const QByteArray small = bmp(scene(5, 4, QImage::Format_RGB888));
    put("top-down-24.bmp", with<qint32>(small, 22, -4));

    // The other kinds the decoder reads, whole (2 × 2 pixels, 4 colours):
    // run-length coded, bit fields, the old OS/2 core header.
    const auto header = [](int bits, int compression, int colours, const QByteArray& rest) {
        QByteArray info(40, '\0');
        qToLittleEndian<quint32>(40, info.data());
        qToLittleEndian<qint32>(2, info.data() + 4);
        qToLittleEndian<qint32>(2, info.data() + 8);
        qToLittleEndian<quint16>(1, info.data() + 12);
        qToLittleEndian<quint16>(static_cast<quint16>(bits), info.data() + 14);
        qToLittleEndian<quint32>(static_cast<quint32>(compression), info.data() + 16);
        qToLittleEndian<quint32>(static_cast<quint32>(colours), info.data() + 32);
        return info + rest;
    };
    const auto file = [](const QByteArray& info, const QByteArray& pixels) {
        QByteArray head(14, '\0');
        head[0] = 'B';
        head[1] = 'M';
        qToLittleEndian<quint32>(static_cast<quint32>(14 + info.size() + pixels.size()), head.data() + 2);
        qToLittleEndian<quint32>(static_cast<quint32>(14 + info.size()), head.data() + 10);
        return head + info + pixels;
    };
    const QByteArray colours("\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00", 16);
    put("rle8.bmp", file(header(8, 1, 4, colours), QByteArray("\x02\x01\x00\x00\x00\x02\x02\x03\x00\x01", 10)));
    put("rle4.bmp", file(header(4, 2, 4, colours), QByteArray("\x02\x12\x00\x00\x02\x23\x00\x01", 8)));
    QByteArray masks(12, '\0');
    qToLittleEndian<quint32>(0xF800, masks.data());
    qToLittleEndian<quint32>(0x07E0, masks.data() + 4);
    qToLittleEndian<quint32>(0x001F, masks.data() + 8);
    put("bitfields-565.bmp", file(header(16, 3, 0, masks), QByteArray(8, '\x5a')));
    QByteArray core(12, '\0');
    qToLittleEndian<quint32>(12, core.data());
    qToLittleEndian<quint16>(2, core.data() + 4);
    qToLittleEndian<quint16>(2, core.data() + 6);
    qToLittleEndian<quint16>(1, core.data() + 8);
    qToLittleEndian<quint16>(24, core.data() + 10);
    put("os2-core-24.bmp", file(core, QByteArray(16, '\x77')));

    // Spoiled.
    put("cut-half.bmp", game.left(game.size() / 2));
    put("cut-one-byte.bmp", game.left(game.size() - 1));
    put("cut-header.bmp", game.left(30));
    put("only-file-header.bmp", game.left(14));
    put("empty.bmp", QByteArray());
    put("bm-only.bmp", QByteArray("BM"));
    put("wrong-magic.bmp", QByteArray("BN") + small.mid(2));
    put("png-inside.bmp", QByteArray("\x89PNG\r\n\x1a\n", 8) + small.mid(8));
    put("size-zero.bmp", with<quint32>(small, 2, 0));
    put("size-huge.bmp", with<quint32>(small, 2, 0xffffffffu));
    put("offset-past-end.bmp", with<quint32>(small, 10, 0x7fffffffu));
    put("offset-zero.bmp", with<quint32>(small, 10, 0));
    put("info-size-odd.bmp", with<quint32>(small, 14, 13));
    put("core-header.bmp", with<quint32>(small, 14, 12));
    put("width-huge.bmp", with<qint32>(small, 18, 0x7fffffff));
    put("width-negative.bmp", with<qint32>(small, 18, -5));
    put("width-zero.bmp", with<qint32>(small, 18, 0));
    put("height-min.bmp", with<qint32>(small, 22, static_cast<qint32>(0x80000000u)));
    put("height-huge.bmp", with<qint32>(small, 22, 60000));
    put("planes-zero.bmp", with<quint16>(small, 26, 0));
    put("bits-zero.bmp", with<quint16>(small, 28, 0));
    put("bits-odd.bmp", with<quint16>(small, 28, 33));
    put("bits-4.bmp", with<quint16>(small, 28, 4));
    put("rle8-garbage.bmp", with<quint16>(with<quint32>(small, 30, 1), 28, 8));
    put("rle4-garbage.bmp", with<quint16>(with<quint32>(small, 30, 2), 28, 4));
    put("bitfields.bmp", with<quint16>(with<quint32>(small, 30, 3), 28, 16));
    put("compression-unknown.bmp", with<quint32>(small, 30, 99));
    put("palette-huge.bmp", with<quint32>(bmp(scene(13, 11, QImage::Format_Indexed8)), 46, 0xffffffu));
    put("rle8-big-canvas.bmp",
        with<qint32>(with<qint32>(with<quint16>(with<quint32>(small, 30, 1), 28, 8), 18, 30000), 22, 30000));

    if (argc > 2) {
        const QDir pictures(QString::fromLocal8Bit(argv[2]));
        for (const QString& file : pictures.entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
            QFile in(pictures.filePath(file));
            if (in.open(QIODevice::ReadOnly)) put(("game-" + file.toStdString()).c_str(), in.readAll());
        }
    }
    std::printf("make-seeds: %d inputs in %s\n", written, argv[1]);
    return 0;
}

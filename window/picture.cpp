#include "picture.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <optional>

namespace suirei {

namespace {

QString& pictureFolder() {
    static QString folder;
    return folder;
}

QString compose(const QString& file, const QString& problem, const QString& detail) {
    const QString where = pictureFolder().isEmpty() ? QDir::current().absoluteFilePath(file)
                                                    : pictureFolder() + QLatin1Char('/') + file;
    return QStringLiteral("画像ファイル「%1」を表示できません。%2\n(%3: %4)").arg(file, problem, where, detail);
}

// The bitmap's headers, little-endian at fixed places.
struct Bytes {
    const QByteArray& b;
    qint64 size() const { return b.size(); }
    template <class T>
    T at(qint64 offset) const {
        return qFromLittleEndian<T>(reinterpret_cast<const uchar*>(b.constData()) + offset);
    }
};

QString cut(qint64 have, qint64 need) {
    return QStringLiteral("truncated: %1 of %2 bytes").arg(have).arg(need);
}

// Walks the run-length code of an RLE8 or RLE4 bitmap from `p` and tells
// whether it reaches its end mark, or the last row, before the file ends.
std::optional<qint64> rleStopsAt(Bytes in, qint64 p, qint64 height, bool four) {
    qint64 y = 0;
    while (p + 2 <= in.size()) {
        const uchar count = in.at<quint8>(p);
        const uchar code = in.at<quint8>(p + 1);
        p += 2;
        if (count > 0) continue;  // a run of one colour
        if (code == 0) {          // end of a row
            if (++y >= height) return std::nullopt;
        } else if (code == 1) {  // end of the picture
            return std::nullopt;
        } else if (code == 2) {  // skip ahead
            if (p + 2 > in.size()) return p;
            y += in.at<quint8>(p + 1);
            p += 2;
            if (y >= height) return std::nullopt;
        } else {  // `code` pixels given one by one, padded to a whole word
            qint64 n = four ? (code + 1) / 2 : code;
            n += n & 1;
            if (p + n > in.size()) return p;
            p += n;
        }
    }
    return p;
}

}  // namespace

PictureError::PictureError(const QString& file, const QString& problem, const QString& detail)
    : GameError(compose(file, problem, detail)), file_(file) {}

void setPictureFolder(const QString& shown) { pictureFolder() = shown; }

QString showBytes(const QByteArray& path) {
    QString shown;
    const auto* p = reinterpret_cast<const uchar*>(path.constData());
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool valid = length > 0 && i + length <= n && c >= 0x20 && c != 0x7F;
        for (int k = 1; valid && k < length; ++k) valid = (p[i + k] & 0xC0) == 0x80;
        if (valid && length > 1) {
            const QString one = QString::fromUtf8(path.constData() + i, length);
            valid = one.size() >= 1 && !one.contains(QChar::ReplacementCharacter);
        }
        if (valid) {
            shown += QString::fromUtf8(path.constData() + i, length);
            i += length;
        } else {
            shown += QStringLiteral("\\x") + QString::number(c, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
}

QString missingPixels(const QByteArray& bytes) {
    const Bytes in{bytes};
    const qint64 size = in.size();
    if (size < 18) return cut(size, 18);
    const qint64 infoSize = in.at<quint32>(14);
    const qint64 offset = in.at<quint32>(10);
    const bool core = infoSize == 12;  // the old OS/2 header: 16-bit sizes, no compression
    if (!core && infoSize < 40) return {};  // no layout known here: the decoder refuses it
    if (size < 14 + infoSize) return cut(size, 14 + infoSize);
    const qint64 width = core ? qint64{in.at<quint16>(18)} : qint64{in.at<qint32>(18)};
    const qint64 height = core ? qint64{in.at<quint16>(20)} : qAbs(qint64{in.at<qint32>(22)});
    const qint64 bits = in.at<quint16>(core ? 24 : 28);
    const quint32 compression = core ? 0 : in.at<quint32>(30);
    if (width <= 0 || height <= 0 || width * height > kMaxPicturePixels) return {};  // refused by the decoder

    switch (compression) {
    case 0:    // rows of pixels
    case 3:    // rows of pixels, colours by bit masks
    case 6: {  // the same with an alpha mask
        if (bits == 0 || bits > 32) return {};
        qint64 needed = offset + (width * bits + 31) / 32 * 4 * height;
        // A short header keeps its bit masks right after it.
        if (infoSize == 40 && compression != 0) needed = qMax(needed, 14 + 40 + (compression == 6 ? 16 : 12));
        return needed > size ? cut(size, needed) : QString();
    }
    case 1:    // RLE8
    case 2: {  // RLE4
        if (offset >= size) return cut(size, offset + 2);
        const auto stop = rleStopsAt(in, offset, height, compression == 2);
        if (!stop) return {};
        return QStringLiteral("truncated: the run-length code stops at byte %1 of %2, before the picture ends")
            .arg(*stop)
            .arg(size);
    }
    default:  // compressions the decoder does not read
        return {};
    }
}

QImage readPicture(const QString& file) {
    const QFileInfo info(file);
    if (!info.exists())
        throw PictureError(file, QStringLiteral("ファイルが見つかりません。"), QStringLiteral("no such file"));
    if (info.isDir())
        throw PictureError(file, QStringLiteral("ファイルではなくフォルダーです。"),
                           QStringLiteral("is a directory, not a picture"));

    // Anything but a plain file (a pipe, a device) could block the game
    // forever on opening it.
    if (!info.isFile())
        throw PictureError(file, QStringLiteral("通常のファイルではありません。"),
                           QStringLiteral("not a regular file"));
    const auto tooLarge = [&](qint64 size) {
        return PictureError(file, QStringLiteral("ファイルが大きすぎます。"),
                            QStringLiteral("too large: %1 bytes, a picture has at most %2").arg(size).arg(kMaxPictureBytes));
    };
    if (info.size() > kMaxPictureBytes) throw tooLarge(info.size());

    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw PictureError(file, QStringLiteral("ファイルを読み取れません。"), in.errorString());
    // At most one byte more than the limit, should the file grow meanwhile.
    const QByteArray bytes = in.read(kMaxPictureBytes + 1);
    if (in.error() != QFileDevice::NoError)
        throw PictureError(file, QStringLiteral("ファイルを読み取れません。"), in.errorString());
    if (bytes.size() > kMaxPictureBytes) throw tooLarge(bytes.size());

    if (bytes.size() < 14 || !bytes.startsWith("BM"))
        throw PictureError(file, QStringLiteral("ビットマップ画像ではありません。"),
                           QStringLiteral("not a Windows bitmap (no BM header)"));
    // A cut-short file would be shown with whatever garbage fills the gap.
    if (const QString missing = missingPixels(bytes); !missing.isEmpty())
        throw PictureError(file, QStringLiteral("ファイルが途中で切れています。"), missing);

    QImage image;
    if (!image.loadFromData(bytes, "BMP") || image.isNull())
        throw PictureError(file, QStringLiteral("ビットマップ画像として読み込めません。"),
                           QStringLiteral("the bitmap data cannot be decoded"));
    return image;
}

}  // namespace suirei

#include "picture.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <array>
#include <cstring>

namespace suirei {

namespace {

QString compose(const QString& file, const QString& problem, const QString& detail) {
    return QStringLiteral("画像ファイル「%1」を表示できません。%2\n(%3: %4)")
        .arg(file, problem, QDir::current().absoluteFilePath(file), detail);
}

}  // namespace

PictureError::PictureError(const QString& file, const QString& problem, const QString& detail)
    : std::runtime_error(compose(file, problem, detail).toStdString()), file_(file) {}

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

    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw PictureError(file, QStringLiteral("ファイルを読み取れません。"), in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw PictureError(file, QStringLiteral("ファイルを読み取れません。"), in.errorString());

    // The file header: "BM", the file size, two reserved words, the offset of
    // the pixels. A file shorter than it says it is has been cut short, and
    // the decoder would quietly show whatever garbage fills the gap.
    if (bytes.size() < 14 || !bytes.startsWith("BM"))
        throw PictureError(file, QStringLiteral("ビットマップ画像ではありません。"),
                           QStringLiteral("not a Windows bitmap (no BM header)"));
    const auto size = static_cast<qint64>(bytes.size());
    // The file header and the start of the information header, zero-padded
    // for a file too short to hold it.
    std::array<uchar, 54> head{};
    std::memcpy(head.data(), bytes.constData(), static_cast<std::size_t>(qMin<qint64>(size, head.size())));
    qint64 needed = qFromLittleEndian<quint32>(head.data() + 2);
    if (size >= 54 && qFromLittleEndian<quint32>(head.data() + 30) == 0) {  // uncompressed pixels
        const qint64 offset = qFromLittleEndian<quint32>(head.data() + 10);
        const qint64 width = qFromLittleEndian<qint32>(head.data() + 18);
        const qint64 height = qAbs(qint64{qFromLittleEndian<qint32>(head.data() + 22)});
        const qint64 bits = qFromLittleEndian<quint16>(head.data() + 28);
        if (width > 0 && width < 65536 && height < 65536 && bits > 0 && bits <= 32)
            needed = qMax(needed, offset + (width * bits + 31) / 32 * 4 * height);
    }
    if (needed > size)
        throw PictureError(file, QStringLiteral("ファイルが途中で切れています。"),
                           QStringLiteral("truncated: %1 of %2 bytes").arg(size).arg(needed));

    QImage image;
    if (!image.loadFromData(bytes, "BMP") || image.isNull())
        throw PictureError(file, QStringLiteral("ビットマップ画像として読み込めません。"),
                           QStringLiteral("the bitmap data cannot be decoded"));
    return image;
}

}  // namespace suirei

#include "picture.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string_view>

namespace suirei {

namespace {

// Empty until start-up has entered the program folder.
QString pictureFolder;

QString where(const QString& file) {
    return pictureFolder.isEmpty() ? QDir::current().absoluteFilePath(file) : pictureFolder + QLatin1Char('/') + file;
}

QString compose(const QString& file, const bitmap::Refusal& refusal) {
    return QString::fromStdString(bitmap::message(file.toStdString(), where(file).toStdString(), refusal));
}

}  // namespace

PictureError::PictureError(const QString& file, const bitmap::Refusal& refusal)
    : GameError(compose(file, refusal)), file_(file) {}

void setPictureFolder(const QString& shown) { pictureFolder = shown; }

QString showBytes(const QByteArray& path) {
    QString shown;
    const auto* p = reinterpret_cast<const uchar*>(path.constData());
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        const int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        // One whole, printable character; the decoder marks a broken one.
        const QString one = length > 0 && i + length <= n ? QString::fromUtf8(path.constData() + i, length) : QString();
        if (c >= 0x20 && c != 0x7F && !one.isEmpty() && !one.contains(QChar::ReplacementCharacter)) {
            shown += one;
            i += length;
        } else {
            shown += QStringLiteral("\\x") + QString::number(c, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
}

QImage readPicture(const QString& file) {
    using bitmap::Fault;
    const QFileInfo info(file);
    if (!info.exists()) throw PictureError(file, bitmap::refuse(Fault::missing));
    if (info.isDir()) throw PictureError(file, bitmap::refuse(Fault::folder));
    // Anything but a plain file (a pipe, a device) could block the game
    // forever on opening it.
    if (!info.isFile()) throw PictureError(file, bitmap::refuse(Fault::notFile));
    if (info.size() > kMaxPictureBytes) throw PictureError(file, bitmap::tooLarge(info.size()));

    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) throw PictureError(file, bitmap::unreadable(in.errorString().toStdString()));
    // At most one byte more than the limit, should the file grow meanwhile.
    const QByteArray bytes = in.read(kMaxPictureBytes + 1);
    if (in.error() != QFileDevice::NoError)
        throw PictureError(file, bitmap::unreadable(in.errorString().toStdString()));
    if (bytes.size() > kMaxPictureBytes) throw PictureError(file, bitmap::tooLarge(bytes.size()));
    if (auto refusal = bitmap::judge(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
        throw PictureError(file, *refusal);

    QImage image;
    if (!image.loadFromData(bytes, "BMP") || image.isNull())
        throw PictureError(file, bitmap::refuse(Fault::undecodable));
    return image;
}

}  // namespace suirei

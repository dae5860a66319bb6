// Scene pictures: Windows bitmaps read by bare name from the current
// directory, afresh on every load.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <stdexcept>

namespace suirei {

// Anything that ends the game with a message for the player: the message
// says what went wrong, in Japanese, with the technical detail after it.
class GameError : public std::runtime_error {
public:
    explicit GameError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// A picture the game cannot show. The message names the file.
class PictureError : public GameError {
public:
    PictureError(const QString& file, const QString& problem, const QString& detail);
    const QString& file() const { return file_; }

private:
    QString file_;
};

// The largest picture file the game reads. The scene pictures are 143 × 119
// (about 50 KB at 24 bits); 64 MiB holds a 4096 × 4096 bitmap at 32 bits,
// hundreds of times anything the picture box can show, and is still small
// enough that reading it whole cannot exhaust a player's memory. Anything
// larger is refused before a byte of it is read.
inline constexpr qint64 kMaxPictureBytes = qint64{64} << 20;
// The most pixels a picture may have, for the same reason: a few bytes of
// run-length code can describe a picture of any size.
inline constexpr qint64 kMaxPicturePixels = qint64{4096} * 4096;

// The folder the game reads its pictures from, as messages name it. Start-up
// sets it once it has entered the program folder, so that a folder deleted
// during a game is still named in the message; until then messages name the
// current directory.
void setPictureFolder(const QString& shown);

// A path of raw bytes for a message: UTF-8 is shown as it is, any byte that
// is not (a folder name in Shift_JIS, say) as \xNN.
QString showBytes(const QByteArray& path);

// Why the pixels of the bitmap `bytes` are not all there (empty when they
// are). Decides by the pixel data itself, whatever the header says the file
// size is: rows of uncompressed and bit-field bitmaps, the run-length code of
// RLE8 and RLE4 bitmaps up to its end, old OS/2 core headers alike.
QString missingPixels(const QByteArray& bytes);

// Reads and decodes one bitmap. Throws PictureError when the file is missing,
// is a folder, is far too large, cannot be read, is cut short, or is not a
// bitmap at all.
QImage readPicture(const QString& file);

}  // namespace suirei

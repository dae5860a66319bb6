// Scene pictures: Windows bitmaps read by bare name from the current
// directory, afresh on every load, judged by picture/bitmap.hpp and decoded by
// Qt.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <stdexcept>

#include "bitmap.hpp"

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
    PictureError(const QString& file, const bitmap::Refusal& refusal);
    const QString& file() const { return file_; }

private:
    QString file_;
};

// The largest picture file the game reads (picture/bitmap.hpp says why).
inline constexpr qint64 kMaxPictureBytes = bitmap::kMaxBytes;

// The folder the game reads its pictures from, as messages name it. Start-up
// sets it once it has entered the program folder, so that a folder deleted
// during a game is still named in the message; until then messages name the
// current directory.
void setPictureFolder(const QString& shown);

// A path of raw bytes for a message: UTF-8 is shown as it is, any byte that
// is not (a folder name in Shift_JIS, say) as \xNN.
QString showBytes(const QByteArray& path);

// Reads and decodes one bitmap. Throws PictureError when the file is missing,
// is a folder, is far too large, cannot be read, is cut short, or is not a
// bitmap at all.
QImage readPicture(const QString& file);

}  // namespace suirei

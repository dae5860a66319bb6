// Scene pictures: Windows bitmaps read by bare name from the current
// directory, afresh on every load.
#pragma once

#include <QImage>
#include <QString>

#include <stdexcept>

namespace suirei {

// A picture the game cannot show. The message names the file and says what
// went wrong, in Japanese for the player with the technical detail after it.
class PictureError : public std::runtime_error {
public:
    PictureError(const QString& file, const QString& problem, const QString& detail);
    const QString& file() const { return file_; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    QString file_;
};

// Reads and decodes one bitmap. Throws PictureError when the file is missing,
// is a folder, cannot be read, is cut short, or is not a bitmap at all.
QImage readPicture(const QString& file);

}  // namespace suirei

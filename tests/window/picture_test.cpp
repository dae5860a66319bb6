// The picture loader on every kind of bitmap it reads: whole ones load
// whatever their header says the file size is, cut-short ones are refused by
// what is missing of their pixels, and a file far too large is refused before
// it is read.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include "picture.hpp"
#include "scratch.hpp"

namespace suirei {
namespace {

QByteArray le16(int v) {
    QByteArray b(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(v), b.data());
    return b;
}
QByteArray le32(qint64 v) {
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(v), b.data());
    return b;
}

// A bitmap file: the file header, then `info` (information header, masks,
// palette) and the pixel data.
QByteArray file(const QByteArray& info, const QByteArray& pixels) {
    const qint64 offset = 14 + info.size();
    return "BM" + le32(offset + pixels.size()) + le32(0) + le32(offset) + info + pixels;
}

QByteArray windows_header(int width, int height, int bits, int compression, qint64 imageSize, int colours = 0) {
    return le32(40) + le32(width) + le32(height) + le16(1) + le16(bits) + le32(compression) + le32(imageSize) +
           le32(2835) + le32(2835) + le32(colours) + le32(0);
}

QByteArray palette(int colours, int entry) {
    QByteArray p;
    for (int i = 0; i < colours; ++i) p += QByteArray(entry, static_cast<char>(i * 40));
    return p;
}

struct Kind {
    const char* name;
    QByteArray whole;
    int cut;  // bytes of pixel data a cut-short copy lacks
    QSize size{4, 2};
};

QByteArray os2_header(int width, int height, int bits) {
    return le32(12) + le16(width) + le16(height) + le16(1) + le16(bits);
}

std::vector<Kind> kinds() {
    // 4 × 2 pixels each, rows padded to whole words.
    const QByteArray rows24 = QByteArray(12, '\x10') + QByteArray(12, '\x20');
    QByteArray rle8;  // a run, a row end, three literal pixels and one more, the end
    rle8 += QByteArray("\x04\x01\x00\x00", 4);
    rle8 += QByteArray("\x00\x03\x01\x02\x01\x00\x01\x02\x00\x01", 10);
    // Some writers end the code with the last row's end and no end mark.
    QByteArray rle8_rows = rle8.left(rle8.size() - 2) + QByteArray("\x00\x00", 2);
    QByteArray rle4;
    rle4 += QByteArray("\x04\x12\x00\x00", 4);
    rle4 += QByteArray("\x00\x04\x12\x21\x00\x01", 6);
    const QByteArray masks565 = le32(0xF800) + le32(0x07E0) + le32(0x001F);
    return {
        {"uncompressed 24 bits", file(windows_header(4, 2, 24, 0, 24), rows24), 5},
        {"uncompressed 8 bits", file(windows_header(4, 2, 8, 0, 8, 4) + palette(4, 4), QByteArray(8, '\x01')), 3},
        {"RLE8", file(windows_header(4, 2, 8, 1, rle8.size(), 4) + palette(4, 4), rle8), 4},
        {"RLE4", file(windows_header(4, 2, 4, 2, rle4.size(), 4) + palette(4, 4), rle4), 2},
        {"bit fields, 16 bits", file(windows_header(4, 2, 16, 3, 16) + masks565, QByteArray(16, '\x33')), 6},
        {"OS/2 core header, 24 bits", file(os2_header(4, 2, 24), rows24), 7},
        {"OS/2 core header, 8 bits", file(os2_header(4, 2, 8) + palette(256, 3), QByteArray(8, '\x02')), 1},
        {"RLE8 ending with the last row's end", file(windows_header(4, 2, 8, 1, rle8_rows.size(), 4) + palette(4, 4), rle8_rows), 2},
        // Rows whose pixels do not fill a whole word, cut short by less than
        // their padding: 3 pixels take 9 bytes of a 12-byte row, a scene's 145
        // take 435 of 436.
        {"3 pixels wide, 24 bits", file(windows_header(3, 2, 24, 0, 24), QByteArray(24, '\x30')), 2, {3, 2}},
        {"3 pixels wide, 8 bits", file(windows_header(3, 2, 8, 0, 8, 4) + palette(4, 4), QByteArray(8, '\x01')), 1, {3, 2}},
        {"145 pixels wide, 24 bits", file(windows_header(145, 2, 24, 0, 872), QByteArray(872, '\x40')), 1, {145, 2}},
        {"OS/2 core header, 3 pixels wide", file(os2_header(3, 2, 24), QByteArray(24, '\x50')), 3, {3, 2}},
    };
}

QByteArray with_size_field(QByteArray bytes, qint64 size) {
    qToLittleEndian<quint32>(static_cast<quint32>(size), bytes.data() + 2);
    return bytes;
}

struct Pictures : ::testing::Test {
    testing::ScratchPictures folder;

    void write(const QByteArray& bytes) {
        QFile f(folder.path(QStringLiteral("kou.bmp")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // The detail of the refusal, or "" when the picture loads.
    std::string refusal(QSize size = {4, 2}) {
        try {
            const QImage image = readPicture(QStringLiteral("kou.bmp"));
            EXPECT_EQ(image.size(), size);
            return {};
        } catch (const PictureError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("kou.bmp"))) << e.what();
            // The technical detail after the path, or all of it.
            const std::string what = e.what();
            const auto at = what.find(".bmp: ");
            return at == std::string::npos ? what : what.substr(at + 6);
        }
    }
};

TEST_F(Pictures, EveryKindIsJudgedByItsPixelsNotByTheSizeInItsHeader) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        const qint64 size = k.whole.size();
        write(k.whole);
        EXPECT_EQ(refusal(k.size), "");
        // Some programs write the size wrong, or not at all.
        write(with_size_field(k.whole, size + 2));
        EXPECT_EQ(refusal(k.size), "") << "a whole bitmap whose size field is 2 bytes too large";
        write(with_size_field(k.whole, 0));
        EXPECT_EQ(refusal(k.size), "") << "a whole bitmap whose size field is 0";
        // Cut short, with a size field that does not give it away.
        for (qint64 field : {qint64{0}, size - k.cut}) {
            write(with_size_field(k.whole.left(size - k.cut), field));
            EXPECT_NE(refusal(k.size).find("truncated"), std::string::npos) << "cut short, size field " << field;
        }
    }
}

TEST_F(Pictures, AFileCutInsideItsHeaderIsCutShort) {
    // The 12-byte OS/2 header ends at byte 26, the 40-byte Windows one at 54.
    write(kinds()[5].whole.left(20));
    EXPECT_EQ(refusal(), "truncated: 20 of 26 bytes)");
    write(kinds()[0].whole.left(40));
    EXPECT_EQ(refusal(), "truncated: 40 of 54 bytes)");
}

TEST_F(Pictures, AFileFarLargerThanAnyPictureIsRefusedBeforeItIsRead) {
    // Sparse files: they take no room on the disk, and reading one whole
    // would take all the memory there is (64 GB) or 3 GB of it.
    for (qint64 size : {qint64{64} << 30, qint64{3} << 30, kMaxPictureBytes + 1}) {
        SCOPED_TRACE(size);
        write(kinds()[0].whole);
        QFile f(folder.path(QStringLiteral("kou.bmp")));
        ASSERT_TRUE(f.resize(size));
        const std::string why = refusal();
        EXPECT_NE(why.find("too large"), std::string::npos) << why;
    }
    // The limit itself is still a picture, if a silly one.
    write(kinds()[0].whole);
    ASSERT_TRUE(QFile::resize(folder.path(QStringLiteral("kou.bmp")), kMaxPictureBytes));
    EXPECT_EQ(refusal(), "");
}

TEST(PicturePaths, BytesThatAreNotUtf8AreShownAsEscapes) {
    EXPECT_EQ(showBytes(QByteArray("/tmp/翠嶺")), QStringLiteral("/tmp/翠嶺"));
    // 翠嶺 in Shift_JIS.
    EXPECT_EQ(showBytes(QByteArray("/tmp/\x90\x95\x97\xe4", 9)), QStringLiteral("/tmp/\\x90\\x95\\x97\\xE4"));
    EXPECT_EQ(showBytes(QByteArray("a\nb")), QStringLiteral("a\\x0Ab"));
    EXPECT_EQ(showBytes(QByteArray("\xe7\xbf", 2)), QStringLiteral("\\xE7\\xBF")) << "a character cut in half";
}

}  // namespace
}  // namespace suirei

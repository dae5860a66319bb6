#include "bitmap.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace suirei::bitmap {

namespace {

// The bitmap's headers, little-endian at fixed places.
struct Bytes {
    std::string_view b;
    std::int64_t size() const { return static_cast<std::int64_t>(b.size()); }
    std::uint32_t at(std::int64_t offset, int width) const {
        std::uint32_t v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(b[static_cast<std::size_t>(offset + i)]);
        return v;
    }
    std::uint8_t u8(std::int64_t offset) const { return static_cast<std::uint8_t>(at(offset, 1)); }
    std::uint16_t u16(std::int64_t offset) const { return static_cast<std::uint16_t>(at(offset, 2)); }
    std::uint32_t u32(std::int64_t offset) const { return at(offset, 4); }
    std::int32_t i32(std::int64_t offset) const { return static_cast<std::int32_t>(at(offset, 4)); }
};

std::string cut(std::int64_t have, std::int64_t need) {
    return "truncated: " + std::to_string(have) + " of " + std::to_string(need) + " bytes";
}

// Walks the run-length code of an RLE8 or RLE4 bitmap from `p` and tells
// whether it reaches its end mark, or the last row, before the file ends.
std::optional<std::int64_t> rleStopsAt(Bytes in, std::int64_t p, std::int64_t height, bool four) {
    std::int64_t y = 0;
    while (p + 2 <= in.size()) {
        const std::uint8_t count = in.u8(p);
        const std::uint8_t code = in.u8(p + 1);
        p += 2;
        if (count > 0) continue;  // a run of one colour
        if (code == 0) {          // end of a row
            if (++y >= height) return std::nullopt;
        } else if (code == 1) {  // end of the picture
            return std::nullopt;
        } else if (code == 2) {  // skip ahead
            if (p + 2 > in.size()) return p;
            y += in.u8(p + 1);
            p += 2;
            if (y >= height) return std::nullopt;
        } else {  // `code` pixels given one by one, padded to a whole word
            std::int64_t n = four ? (code + 1) / 2 : code;
            n += n & 1;
            if (p + n > in.size()) return p;
            p += n;
        }
    }
    return p;
}

// What the player reads for each fault, in Japanese, and the usual detail
// after it (tooLarge, unreadable and cutShort say more, case by case); in the
// order of Fault.
struct Words {
    std::string_view problem, detail;
};
constexpr std::array<Words, 8> kWords = {{
    {"ファイルが見つかりません。", "no such file"},  // missing
    {"ファイルではなくフォルダーです。", "is a directory, not a picture"},  // folder
    {"通常のファイルではありません。", "not a regular file"},  // notFile
    {"ファイルが大きすぎます。", ""},  // tooLarge
    {"ファイルを読み取れません。", ""},  // unreadable
    {"ビットマップ画像ではありません。", "not a Windows bitmap (no BM header)"},  // notBitmap
    {"ファイルが途中で切れています。", ""},  // cutShort
    {"ビットマップ画像として読み込めません。", "the bitmap data cannot be decoded"},  // undecodable
}};
static_assert(kWords.size() == static_cast<std::size_t>(Fault::undecodable) + 1);

const Words& words(Fault fault) { return kWords[static_cast<std::size_t>(fault)]; }

// Why the pixels of the bitmap `bytes` are not all there (empty when they
// are). Decides by the pixel data itself, whatever the header says the file
// size is: rows of uncompressed and bit-field bitmaps, the run-length code of
// RLE8 and RLE4 bitmaps up to its end, old OS/2 core headers alike.
std::string missingPixels(std::string_view bytes) {
    const Bytes in{bytes};
    const std::int64_t size = in.size();
    if (size < 18) return cut(size, 18);
    const std::int64_t infoSize = in.u32(14);
    if (infoSize != 12 && infoSize < 40) return {};  // no layout known here: the decoder refuses it
    if (size < 14 + infoSize) return cut(size, 14 + infoSize);
    const Header h = *header(bytes);
    if (h.width <= 0 || h.height <= 0 || h.width * h.height > kMaxPixels) return {};  // refused by the decoder

    switch (h.compression) {
    case 0:    // rows of pixels
    case 3:    // rows of pixels, colours by bit masks
    case 6: {  // the same with an alpha mask
        if (h.bits == 0 || h.bits > 32) return {};
        std::int64_t needed = h.offset + (h.width * h.bits + 31) / 32 * 4 * h.height;
        // A short header keeps its bit masks right after it.
        if (h.infoSize == 40 && h.compression != 0)
            needed = std::max<std::int64_t>(needed, 14 + 40 + (h.compression == 6 ? 16 : 12));
        return needed > size ? cut(size, needed) : std::string();
    }
    case 1:    // RLE8
    case 2: {  // RLE4
        if (h.offset >= size) return cut(size, h.offset + 2);
        const auto stop = rleStopsAt(in, h.offset, h.height, h.compression == 2);
        if (!stop) return {};
        return "truncated: the run-length code stops at byte " + std::to_string(*stop) + " of " +
               std::to_string(size) + ", before the picture ends";
    }
    default:  // compressions the decoder does not read
        return {};
    }
}

}  // namespace

Refusal refuse(Fault fault) { return {fault, std::string(words(fault).detail)}; }

Refusal tooLarge(std::int64_t size) {
    return {Fault::tooLarge,
            "too large: " + std::to_string(size) + " bytes, a picture has at most " + std::to_string(kMaxBytes)};
}

Refusal unreadable(std::string_view reason) { return {Fault::unreadable, std::string(reason)}; }

std::string message(std::string_view file, std::string_view where, const Refusal& refusal) {
    std::string m = "画像ファイル「";
    m.append(file).append("」を表示できません。").append(words(refusal.fault).problem);
    m.append("\n(").append(where).append(": ").append(refusal.detail).append(")");
    return m;
}

std::optional<Header> header(std::string_view bytes) {
    const Bytes in{bytes};
    if (in.size() < 18) return std::nullopt;
    Header h;
    h.infoSize = in.u32(14);
    h.offset = in.u32(10);
    const bool core = h.infoSize == 12;  // the old OS/2 header: 16-bit sizes, no compression
    if ((!core && h.infoSize < 40) || in.size() < 14 + h.infoSize) return std::nullopt;
    h.width = core ? in.u16(18) : in.i32(18);
    h.height = core ? in.u16(20) : std::abs(std::int64_t{in.i32(22)});
    h.bits = in.u16(core ? 24 : 28);
    h.compression = core ? 0 : in.u32(30);
    h.colours = core ? 0 : in.u32(46);
    return h;
}

std::optional<Refusal> judge(std::string_view bytes) {
    if (bytes.size() < 14 || !bytes.starts_with("BM")) return refuse(Fault::notBitmap);
    // A cut-short file would be shown with whatever garbage fills the gap.
    if (std::string missing = missingPixels(bytes); !missing.empty())
        return Refusal{Fault::cutShort, std::move(missing)};
    if (const auto h = header(bytes); h && (h->width <= 0 || h->height <= 0 || h->width * h->height > kMaxPixels))
        return refuse(Fault::undecodable);
    return std::nullopt;
}

}  // namespace suirei::bitmap

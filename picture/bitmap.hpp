// Scene pictures as both desktop windows judge them before one is shown:
// Windows bitmaps, refused unread above a size limit, refused when their
// pixels are cut short, and explained to the player in the same words. The Qt
// window and the Windows window each read the file and decode it with their
// own toolkit; what counts as a picture, and what the player is told when one
// is not, is decided here once. Plain C++: no Qt, no Win32.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace suirei::bitmap {

// The largest picture file the game reads. The scene pictures are 143 × 119
// (about 50 KB at 24 bits); 64 MiB holds a 4096 × 4096 bitmap at 32 bits,
// hundreds of times anything the picture box can show, and is still small
// enough that reading it whole cannot exhaust a player's memory. Anything
// larger is refused before a byte of it is read.
inline constexpr std::int64_t kMaxBytes = std::int64_t{64} << 20;
// The most pixels a picture may have, for the same reason: a few bytes of
// run-length code can describe a picture of any size.
inline constexpr std::int64_t kMaxPixels = std::int64_t{4096} * 4096;

// Why a picture cannot be shown.
enum class Fault {
    missing,      // no such file
    folder,       // a folder of that name
    notFile,      // a pipe, a device: opening it could block the game
    tooLarge,     // above kMaxBytes
    unreadable,   // the system would not open or read it
    notBitmap,    // no BM at its start
    cutShort,     // its pixels are not all there
    undecodable,  // a bitmap the decoder cannot read
};

// A refusal: what went wrong, and the technical detail for the message.
struct Refusal {
    Fault fault{};
    std::string detail;
};

// A refusal with its usual detail ("no such file", …). For tooLarge and
// unreadable use the two below, which say more.
Refusal refuse(Fault fault);
Refusal tooLarge(std::int64_t size);
Refusal unreadable(std::string_view reason);

// What the player reads: the file, the problem, then where the file was
// looked for (`where`, the path as the system names it) and the detail.
std::string message(std::string_view file, std::string_view where, const Refusal& refusal);

// Judges a whole file read into memory: nothing when the decoder may have
// it; otherwise not a bitmap, cut short, or a size no picture has.
std::optional<Refusal> judge(std::string_view bytes);

// The layout of a bitmap's headers, for a decoder that takes them apart
// itself: nothing when the headers are cut short or of a kind not known here.
struct Header {
    std::int64_t infoSize = 0;  // 12 for the old OS/2 header, 40 or more for Windows ones
    std::int64_t offset = 0;    // where the pixels start
    std::int64_t width = 0, height = 0;  // the height always positive
    int bits = 0;
    std::uint32_t compression = 0;  // 0 rows, 1 RLE8, 2 RLE4, 3 bit fields, …
    std::int64_t colours = 0;       // palette entries the header names (0: as many as the bits allow)
};
std::optional<Header> header(std::string_view bytes);

// Start-up enters the program folder so that bare picture names resolve
// there; when it cannot, the player reads one of these.
inline constexpr std::string_view kFolderUnknown = "プログラムのフォルダーが分かりません。";
inline constexpr std::string_view kFolderUnreachable = "プログラムのフォルダーに移れません。";

}  // namespace suirei::bitmap

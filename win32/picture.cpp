#include "picture.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "bitmap.hpp"
#include "text.hpp"

namespace suirei::win32 {

namespace {

// Set by start-up once it has entered the program folder.
std::wstring pictureFolder;

[[noreturn]] void refuse(std::string_view file, const bitmap::Refusal& refusal) {
    std::wstring where = pictureFolder;
    if (where.back() != L'\\') where += L'\\';
    where += widen(file);
    throw GameError(bitmap::message(file, narrow(where), refusal));
}

// The file's bytes, refused unread above the size limit.
std::string readFile(std::string_view file) {
    using bitmap::Fault;
    const std::wstring name = widen(file);
    WIN32_FILE_ATTRIBUTE_DATA about{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &about)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) refuse(file, bitmap::refuse(Fault::missing));
        refuse(file, bitmap::unreadable(systemMessage(error)));
    }
    if (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) refuse(file, bitmap::refuse(Fault::folder));
    if (about.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) refuse(file, bitmap::refuse(Fault::notFile));
    const std::int64_t size = std::int64_t{about.nFileSizeHigh} << 32 | about.nFileSizeLow;
    if (size > bitmap::kMaxBytes) refuse(file, bitmap::tooLarge(size));

    const HANDLE in = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) refuse(file, bitmap::unreadable(systemMessage(GetLastError())));
    const std::unique_ptr<void, decltype(&CloseHandle)> closing(in, &CloseHandle);
    // Anything but a file on a disk (a pipe, a console) could block the game
    // forever on reading it.
    if (GetFileType(in) != FILE_TYPE_DISK) refuse(file, bitmap::refuse(Fault::notFile));
    // At most one byte more than the limit, should the file grow meanwhile.
    std::string bytes(static_cast<std::size_t>(std::min(size, bitmap::kMaxBytes) + 1), '\0');
    std::size_t have = 0;
    // A megabyte at a time, up to the end of the file or of the room.
    for (DWORD got = 1; got > 0 && have < bytes.size(); have += got) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, 1 << 20));
        if (!ReadFile(in, bytes.data() + have, want, &got, nullptr))
            refuse(file, bitmap::unreadable(systemMessage(GetLastError())));
    }
    bytes.resize(have);
    if (static_cast<std::int64_t>(bytes.size()) > bitmap::kMaxBytes)
        refuse(file, bitmap::tooLarge(static_cast<std::int64_t>(bytes.size())));
    return bytes;
}

// The kinds GDI draws on a screen: rows at 1 to 32 bits, RLE8 at 8 bits,
// RLE4 at 4, bit fields at 16 and 32; the OS/2 header without compression.
bool drawable(const bitmap::Header& h) {
    const int b = h.bits;
    switch (h.compression) {
    case BI_RGB: return b == 1 || b == 4 || b == 8 || b == 24 || (h.infoSize != 12 && (b == 16 || b == 32));
    case BI_RLE8: return b == 8;
    case BI_RLE4: return b == 4;
    case BI_BITFIELDS: return b == 16 || b == 32;
    default: return false;
    }
}

Picture decode(std::string_view file, const std::string& bytes) {
    const auto h = bitmap::header(bytes);
    if (!h || !drawable(*h) || h->offset >= static_cast<std::int64_t>(bytes.size()))
        refuse(file, bitmap::refuse(bitmap::Fault::undecodable));

    // The headers, the bit masks and the palette, copied into room for the
    // largest palette there is: GDI reads as many colours as the header
    // names, wherever the file ends.
    std::vector<unsigned char> info(static_cast<std::size_t>(h->infoSize) + 16 + 256 * 4, 0);
    std::memcpy(info.data(), bytes.data() + 14, std::min(info.size(), bytes.size() - 14));
    if (h->infoSize != 12) {
        auto& header = *reinterpret_cast<BITMAPINFOHEADER*>(info.data());
        header.biClrUsed = h->bits <= 8 ? static_cast<DWORD>(std::min<std::int64_t>(h->colours, 1 << h->bits)) : 0;
        // The run-length code ends where the file does.
        if (h->compression == BI_RLE8 || h->compression == BI_RLE4)
            header.biSizeImage = static_cast<DWORD>(static_cast<std::int64_t>(bytes.size()) - h->offset);
    }

    const int width = static_cast<int>(h->width), height = static_cast<int>(h->height);
    BITMAPINFO shown{};
    shown.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &shown, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) refuse(file, bitmap::refuse(bitmap::Fault::undecodable));
    // Pixels the run-length code skips stay white.
    std::memset(pixels, 0xFF, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    const HDC dc = GetDC(nullptr);
    const int rows = SetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bytes.data() + h->offset,
                               reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (rows <= 0) {
        DeleteObject(bitmap);
        refuse(file, bitmap::refuse(bitmap::Fault::undecodable));
    }
    return Picture(bitmap, width, height);
}

}  // namespace

void Picture::draw(HDC dc, const RECT& box, UINT dpi) const {
    if (!bitmap_) return;
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, bitmap_.get());
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    if (dpi == USER_DEFAULT_SCREEN_DPI) {
        BitBlt(dc, box.left, box.top, width_, height_, source, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, box.left, box.top, MulDiv(width_, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI),
                   MulDiv(height_, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI), source, 0, 0, width_, height_,
                   SRCCOPY);
    }
    RestoreDC(dc, saved);
    SelectObject(source, old);
    DeleteDC(source);
}

void setPictureFolder(std::wstring folder) { pictureFolder = std::move(folder); }

Picture readPicture(std::string_view file) {
    const std::string bytes = readFile(file);
    if (auto refusal = bitmap::judge(bytes)) refuse(file, *refusal);
    return decode(file, bytes);
}

}  // namespace suirei::win32

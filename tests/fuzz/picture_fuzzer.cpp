// libFuzzer target for the picture loader: every input is written to a file
// and read back by bare name, the way the game reads its scene pictures.
// The loader may refuse a file only with a PictureError that names it; any
// other exception, a crash, a sanitizer report or a null image it claims to
// have read is a fault.
#include <QImage>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "picture.hpp"

namespace {

const char* const kFile = "fuzz.bmp";
std::string folder;

void write_file(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(kFile, "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/suirei-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data()) || ::chdir(pattern.c_str()) != 0) {
        std::perror("picture-fuzzer: scratch folder");
        std::abort();
    }
    folder = pattern;
    std::atexit([] {
        std::remove((folder + "/" + kFile).c_str());
        ::rmdir(folder.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    write_file(data, size);
    const QString name = QString::fromLatin1(kFile);
    try {
        const QImage image = suirei::readPicture(name);
        if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
            std::fprintf(stderr, "readPicture returned an empty image for %zu bytes\n", size);
            std::abort();
        }
        // Walk every pixel, so a short pixel buffer cannot hide.
        std::uint32_t sum = 0;
        for (int y = 0; y < image.height(); ++y) {
            const uchar* line = image.constScanLine(y);
            for (qsizetype x = 0; x < image.bytesPerLine(); ++x) sum += line[x];
        }
        volatile std::uint32_t keep = sum;
        (void)keep;
    } catch (const suirei::PictureError& e) {
        if (e.file() != name || !e.message().contains(name)) {
            std::fprintf(stderr, "the error does not name the file: %s\n", e.what());
            std::abort();
        }
    }
    return 0;
}

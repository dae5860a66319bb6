#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every picture a story rule or start-up loads, by the bare name the window uses.
const std::array<std::string, 18> pictureNames = {
    "ama.bmp", "amai.bmp", "an1.bmp", "an2.bmp", "an3.bmp", "an4.bmp",
    "dai.bmp", "hou.bmp", "houka.bmp", "houke.bmp", "iru.bmp", "ka.bmp",
    "karu.bmp", "kou.bmp", "kuro.bmp", "kuron.bmp", "sh.bmp", "shou.bmp"};

// Inside of the picture box, its one-pixel border taken off.
constexpr int boxWidth = 143;
constexpr int boxHeight = 119;

std::vector<unsigned char> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le(const std::vector<unsigned char>& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}

// A decoded 24-bit bitmap: pixels as 0xRRGGBB, top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Decodes the one kind of bitmap the window is promised: uncompressed 24-bit
// with a 40-byte info header. Anything else fails the calling test.
Bitmap decode24(const fs::path& path) {
    Bitmap bmp;
    const auto b = readBytes(path);
    const std::string name = path.filename().string();
    if (b.size() < 54) {
        ADD_FAILURE() << name << ": too short for a bitmap header";
        return bmp;
    }
    EXPECT_EQ(b[0], 'B') << name;
    EXPECT_EQ(b[1], 'M') << name;
    EXPECT_EQ(le(b, 2, 4), b.size()) << name << ": file size field";
    EXPECT_EQ(le(b, 14, 4), 40u) << name << ": BITMAPINFOHEADER";
    EXPECT_EQ(le(b, 26, 2), 1u) << name << ": planes";
    EXPECT_EQ(le(b, 28, 2), 24u) << name << ": bits per pixel";
    EXPECT_EQ(le(b, 30, 4), 0u) << name << ": compression";
    bmp.width = int(le(b, 18, 4));
    bmp.height = int(std::int32_t(le(b, 22, 4)));
    const bool topDown = bmp.height < 0;
    if (topDown) bmp.height = -bmp.height;
    const std::size_t offset = le(b, 10, 4);
    const std::size_t stride = (std::size_t(bmp.width) * 3 + 3) / 4 * 4;
    if (bmp.width <= 0 || bmp.height <= 0 || offset + stride * bmp.height > b.size()) {
        ADD_FAILURE() << name << ": pixel data does not fit the file";
        return bmp;
    }
    for (int y = 0; y < bmp.height; ++y) {
        const std::size_t row = offset + stride * (topDown ? y : bmp.height - 1 - y);
        for (int x = 0; x < bmp.width; ++x) {
            const std::size_t p = row + 3 * x;
            bmp.pixels.push_back(std::uint32_t(b[p + 2]) << 16 | b[p + 1] << 8 | b[p]);
        }
    }
    return bmp;
}

fs::path picture(const std::string& name) { return fs::path(SUIREI_PICTURE_DIR) / name; }

TEST(ScenePictures, EveryNameIsAnUncompressed24BitBitmapThatFitsTheBox) {
    for (const std::string& name : pictureNames) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(fs::exists(picture(name))) << "missing beside the game";
        const Bitmap bmp = decode24(picture(name));
        EXPECT_LE(bmp.width, boxWidth);
        EXPECT_LE(bmp.height, boxHeight);
        // A drawing, not a blank or a flat fill left by a failed render.
        const std::set<std::uint32_t> colours(bmp.pixels.begin(), bmp.pixels.end());
        EXPECT_GE(colours.size(), 12u);
    }
}

double differingShare(const Bitmap& a, const Bitmap& b) {
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 1.0;
    std::size_t differ = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) differ += a.pixels[i] != b.pixels[i];
    return double(differ) / double(a.pixels.size());
}

TEST(ScenePictures, StrikeFramesDifferClearlyFromEachOtherAndFromTheClosingPicture) {
    const std::array<std::string, 5> sequence = {"an1.bmp", "an2.bmp", "an3.bmp", "an4.bmp",
                                                 "iru.bmp"};
    std::vector<Bitmap> frames;
    for (const std::string& name : sequence) frames.push_back(decode24(picture(name)));
    for (std::size_t i = 0; i < frames.size(); ++i)
        for (std::size_t j = i + 1; j < frames.size(); ++j)
            EXPECT_GT(differingShare(frames[i], frames[j]), 0.05)
                << sequence[i] << " and " << sequence[j] << " look almost alike";
}

TEST(ScenePictures, VisitsWithAndWithoutAMeetingShowTheSamePlace) {
    // Same place, so most of the picture is shared; a different figure, so
    // not all of it.
    const std::array<std::pair<std::string, std::string>, 5> pairs = {{{"houka.bmp", "hou.bmp"},
                                                                       {"houke.bmp", "hou.bmp"},
                                                                       {"shou.bmp", "sh.bmp"},
                                                                       {"amai.bmp", "ama.bmp"},
                                                                       {"karu.bmp", "ka.bmp"}}};
    for (const auto& [met, empty] : pairs) {
        const double share = differingShare(decode24(picture(met)), decode24(picture(empty)));
        EXPECT_GT(share, 0.03) << met << " shows nobody more than " << empty;
        EXPECT_LT(share, 0.5) << met << " and " << empty << " are not the same place";
    }
}

struct ToolRun {
    int status;
    QString errors;
};

ToolRun picgen(const QStringList& args) {
    QProcess process;
    process.start(SUIREI_PICGEN, args);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

void write(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

const std::string svgHead =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "version=\"1.2\" baseProfile=\"tiny\" width=\"143\" height=\"119\" viewBox=\"0 0 143 119\">";

TEST(PictureTool, RefusesBadDrawingsNamingTheFileAndWritesNothing) {
    struct Case {
        const char* file;
        std::string text;
        const char* problem;
    };
    const Case cases[] = {
        {"cut-short.svg", svgHead + "<rect width=\"10\" height=\"10\"", "cannot be parsed"},
        {"not-xml.svg", "this is not a drawing", "cannot be parsed"},
        {"blank.svg", svgHead + "</svg>", "renders empty"},
        {"off-canvas.svg", svgHead + "<rect x=\"200\" width=\"10\" height=\"10\"/></svg>",
         "renders empty"},
        {"lost-part.svg", svgHead + "<use xlink:href=\"#no-such-part\"/></svg>", "renderer warns"},
        {"no-font.svg",
         svgHead + "<text font-family=\"NoSuchFontAnywhere\" y=\"20\">x</text></svg>",
         "NoSuchFontAnywhere"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString svg = dir.filePath(c.file);
        const QString bmp = dir.filePath("out.bmp");
        write(svg, c.text);
        const ToolRun run = picgen({svg, bmp});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.errors.contains(c.file)) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(c.problem)) << run.errors.toStdString();
        EXPECT_FALSE(fs::exists(bmp.toStdString()));
    }

    const ToolRun missing = picgen({dir.filePath("absent.svg"), dir.filePath("out.bmp")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.errors.contains("absent.svg: cannot open")) << missing.errors.toStdString();
}

TEST(PictureTool, DrawsSharedPartsAndLaysOutTheContactSheet) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString svg = dir.filePath("scene.svg");
    write(svg, svgHead + "<use xlink:href=\"#pagoda\" transform=\"translate(70,110)\"/></svg>");
    const QString bmp = dir.filePath("scene.bmp");
    const ToolRun drawn = picgen({"--parts", QString(SUIREI_PARTS_DIR) + "/parts.svg", svg, bmp});
    ASSERT_EQ(drawn.status, 0) << drawn.errors.toStdString();
    const Bitmap scene = decode24(bmp.toStdString());
    EXPECT_EQ(scene.width, boxWidth);
    EXPECT_EQ(scene.height, boxHeight);

    // Without the parts the drawing refers to nothing.
    EXPECT_EQ(picgen({svg, bmp}).status, 1);

    const QString sheet = dir.filePath("sheet.png");
    const QString kou = QString::fromStdString(picture("kou.bmp").string());
    ASSERT_EQ(picgen({"--sheet", sheet, kou, bmp}).status, 0);
    const auto png = readBytes(sheet.toStdString());
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    // Two pictures side by side at twice their size, 12 pixels apart.
    EXPECT_EQ(int(le(std::vector<unsigned char>{png[19], png[18], png[17], png[16]}, 0, 4)),
              12 + 2 * (2 * boxWidth + 12));

    const ToolRun notBitmap = picgen({"--sheet", sheet, svg});
    EXPECT_EQ(notBitmap.status, 1);
    EXPECT_TRUE(notBitmap.errors.contains("scene.svg: cannot be read")) << notBitmap.errors.toStdString();
}

}  // namespace

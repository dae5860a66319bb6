// Form6 on the offscreen platform: its controls, their places and order, the
// font fit, and what happens when a picture cannot be shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTextBlock>

#ifdef __unix__
#include <sys/stat.h>
#endif

#include "form6.hpp"
#include "picture.hpp"
#include "scratch.hpp"
#include "stretches.hpp"

namespace suirei {
namespace {

using enum Button;

using testing::TestWindow;
using Pictures = testing::ScratchPictures;

struct Window : ::testing::Test {
    Pictures pictures;
    TestWindow window{story()};
    QStringList failures;

    void SetUp() override {
        window.setFrameHold(std::chrono::milliseconds(1));
        window.setFailureHandler([this](const QString& m) { failures << m; });
    }
};

TEST_F(Window, ControlsStandAtTheirPlacesWithCaptionsAndOnlyQuitVisible) {
    EXPECT_EQ(window.size(), QSize(477, 284));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("翠　嶺　秘　抄　～古代歴史ロマン～"));
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(255, 128, 128));
    EXPECT_EQ(window.P1()->geometry(), QRect(8, 0, 145, 121));
    EXPECT_EQ(window.T1()->geometry(), QRect(8, 128, 449, 153));

    struct Expected {
        Button b;
        QRect rect;
        const char* caption;
    };
    const Expected expected[] = {
        {Command1, {160, 8, 81, 25}, "話す"},       {Command2, {160, 40, 81, 25}, "相手が話す"},
        {Command3, {160, 72, 81, 25}, "移動"},      {Command4, {248, 8, 105, 25}, "板葺宮"},
        {Command5, {248, 48, 105, 25}, "法興寺"},   {Command6, {248, 88, 105, 25}, "南淵請安宅"},
        {Command7, {360, 8, 105, 25}, "甘橿の丘"},  {Command8, {360, 48, 105, 25}, "軽皇子宅"},
        {Command9, {160, 96, 81, 25}, "続きを読む"}, {Command10, {360, 88, 33, 25}, "1"},
        {Command11, {400, 88, 33, 25}, "2"},        {Command12, {440, 88, 33, 25}, "終了"},
    };
    for (const Expected& e : expected) {
        QPushButton* b = window.button(e.b);
        EXPECT_EQ(b->geometry(), e.rect) << name(e.b);
        EXPECT_EQ(b->text(), QString::fromUtf8(e.caption)) << name(e.b);
        EXPECT_EQ(b->accessibleName(), QString::fromUtf8(e.caption));
        EXPECT_EQ(window.isVisible(e.b), e.b == Command12) << name(e.b);
    }
    // Move and Read on overlap by one pixel row, as laid out.
    EXPECT_EQ(window.button(Command3)->geometry().intersected(window.button(Command9)->geometry()).height(), 1);
    EXPECT_TRUE(window.T1()->isReadOnly());
    EXPECT_EQ(window.T1()->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(window.T1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(window.T1()->accessibleName(), QStringLiteral("本文"));
    EXPECT_EQ(window.P1()->accessibleName(), QStringLiteral("場面"));
}

TEST_F(Window, TabOrderRunsFromTheTextThroughTheButtonsInOrder) {
    for (Button b : kAllButtons) window.setVisible(b, true);
    window.show();
    QWidget* w = window.T1();
    for (Button b : kAllButtons) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
        EXPECT_EQ(w, window.button(b)) << "after " << name(b);
        w = window.button(b);
    }
}

TEST_F(Window, ElevenLinesOfThirtyFiveCharactersFitWithoutScrolling) {
    ASSERT_TRUE(window.Form_Load());
    const QString wide = QString(35, QChar(0x9E7F));  // 鹿, a full-width character
    std::string page;
    for (int i = 0; i < 11; ++i) page += (i ? "\r\n" : "") + wide.toStdString();
    window.setText(page);
    window.show();
    QTextEdit* t1 = window.T1();
    const QFontMetrics metrics(t1->font());
    const int margin = static_cast<int>(t1->document()->documentMargin());
    EXPECT_LE(metrics.horizontalAdvance(wide) + 2 * margin, t1->viewport()->width()) << t1->font().family().toStdString();
    EXPECT_LE(t1->document()->size().height(), t1->viewport()->height());
    EXPECT_EQ(t1->document()->blockCount(), 11);
    EXPECT_EQ(t1->verticalScrollBar()->maximum(), 0) << "nothing to scroll";
}

TEST_F(Window, StartUpShowsTheOpeningPageAndPicture) {
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.pictureFile(), QStringLiteral("kuron.bmp"));
    EXPECT_FALSE(window.P1()->pixmap().isNull());
    EXPECT_TRUE(window.isVisible(Command9));
    const auto& opening = script::kOpening;
    EXPECT_EQ(window.text().substr(0, opening[0].size()), opening[0]);
    EXPECT_EQ(window.T1()->toPlainText().count(QLatin1Char('\n')), 10);
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(Window, APictureThatCannotBeShownIsReportedByName) {
    struct Case {
        const char* what;
        std::function<void(Pictures&)> spoil;
        const char* detail;
    };
    const Case cases[] = {
        {"missing", [](Pictures& p) { QFile::remove(p.path("kuron.bmp")); }, "no such file"},
        {"a folder", [](Pictures& p) { QFile::remove(p.path("kuron.bmp")); QDir().mkdir(p.path("kuron.bmp")); }, "directory"},
        {"not a bitmap", [](Pictures& p) {
             QFile f(p.path("kuron.bmp"));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
             f.write("GIF89a this is no bitmap");
         }, "no BM header"},
        {"cut short", [](Pictures& p) {
             QFile f(p.path("kuron.bmp"));
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.resize(2000);
         }, "truncated"},
#ifdef __unix__
        // Opening a pipe would wait for a writer forever.
        {"a pipe", [](Pictures& p) {
             QFile::remove(p.path("kuron.bmp"));
             ASSERT_EQ(::mkfifo(QFile::encodeName(p.path("kuron.bmp")).constData(), 0600), 0);
         }, "not a regular file"},
#endif
    };
    for (const Case& c : cases) {
        Pictures fresh;
        c.spoil(fresh);
        TestWindow w{story()};
        QStringList seen;
        w.setFailureHandler([&](const QString& m) { seen << m; });
        EXPECT_FALSE(w.Form_Load()) << c.what;
        ASSERT_EQ(seen.size(), 1) << c.what;
        EXPECT_TRUE(seen[0].contains(QStringLiteral("kuron.bmp"))) << c.what;
        EXPECT_TRUE(seen[0].contains(QString::fromUtf8(c.detail))) << c.what << ": " << seen[0].toStdString();
    }
}

TEST_F(Window, EveryLoadReadsThePictureAfresh) {
    ASSERT_TRUE(window.Form_Load());
    pictures.write(QStringLiteral("kou.bmp"), Qt::red);
    window.loadPicture("kou.bmp");
    EXPECT_EQ(window.P1()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
    pictures.write(QStringLiteral("kou.bmp"), Qt::blue);
    window.loadPicture("kou.bmp");
    EXPECT_EQ(window.P1()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::blue));
}

TEST_F(Window, ClicksReachTheStoryAndTheStrikeFramesPassThroughP1) {
    ASSERT_TRUE(window.Form_Load());
    window.show();
    window.button(Command9)->click();
    EXPECT_EQ(window.story().state(), 2);
    // A frame of the strike goes through P1 and is held there; a click
    // meanwhile is dropped, and afterwards P1 shows the scene again.
    QStringList shown;
    QObject::connect(&window, &Form6::framesPlayed, [&] { shown << window.pictureFile(); });
    window.setFrameHold(std::chrono::milliseconds(100));
    window.showFrame("an1.bmp", kFrameHold);
    EXPECT_TRUE(window.playingFrames());
    window.button(Command12)->click();
    EXPECT_TRUE(window.QWidget::isVisible()) << "Quit during a frame is dropped";
    testing::wait_until([&] {
        if (window.pictureFile() == QStringLiteral("an1.bmp") && shown.isEmpty()) shown << window.pictureFile();
        return !window.playingFrames();
    });
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("an1.bmp"), QStringLiteral("kuron.bmp")}));
    window.button(Command12)->click();
    EXPECT_FALSE(window.QWidget::isVisible()) << "Quit closes the window";
}

}  // namespace
}  // namespace suirei

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setFont(suirei::Form6::gameFont());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Form6 on the offscreen platform: its controls, their places and order, the
// font fit, and what happens when a picture cannot be shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTextBlock>

#ifdef __unix__
#include <sys/stat.h>
#endif

#include "shortest_route.hpp"
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
        EXPECT_EQ(b->isVisibleTo(&window), e.b == Command12) << name(e.b);
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
    for (Button b : kAllButtons) window.button(b)->setVisible(true);
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
    // A story whose opening page, eleven lines, has three of the widest.
    static const std::string wide = QString(35, QChar(0x9E7F)).toStdString();  // 鹿, a full-width character
    const Script widest({}, {wide, wide, wide});
    TestWindow window{widest};
    ASSERT_TRUE(window.Form_Load());
    window.show();
    QTextEdit* t1 = window.T1();
    const QFontMetrics metrics(t1->font());
    const int margin = static_cast<int>(t1->document()->documentMargin());
    EXPECT_LE(metrics.horizontalAdvance(qs(wide)) + 2 * margin, t1->viewport()->width()) << t1->font().family().toStdString();
    EXPECT_LE(t1->document()->size().height(), t1->viewport()->height());
    EXPECT_EQ(t1->document()->blockCount(), 11);
    EXPECT_EQ(t1->verticalScrollBar()->maximum(), 0) << "nothing to scroll";
}

TEST_F(Window, StartUpShowsTheOpeningPageAndPicture) {
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.pictureFile(), QStringLiteral("kuron.bmp"));
    EXPECT_FALSE(window.P1()->pixmap().isNull());
    EXPECT_TRUE(window.button(Command9)->isVisibleTo(&window));
    EXPECT_TRUE(window.T1()->toPlainText().startsWith(qs(script::kOpening[0])));
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
    // The palace, changed on disk between two visits, shows as it is now.
    const auto route = testing::shortest_route(story(), [](const testing::Step& s) {
        return s.story.state() > 5 && testing::loads_picture("kou.bmp")(s);
    });
    ASSERT_TRUE(route.has_value());
    pictures.write(QStringLiteral("kou.bmp"), Qt::red);
    ASSERT_TRUE(window.Form_Load());
    bool first = true;
    for (Button b : *route) {
        window.button(b)->click();
        if (first && window.pictureFile() == QStringLiteral("kou.bmp")) {
            EXPECT_EQ(window.P1()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
            pictures.write(QStringLiteral("kou.bmp"), Qt::blue);
            first = false;
        }
    }
    EXPECT_FALSE(first) << "the route never showed kou.bmp before its end";
    EXPECT_EQ(window.pictureFile(), QStringLiteral("kou.bmp"));
    EXPECT_EQ(window.P1()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::blue));
}

TEST_F(Window, ClicksReachTheStoryAndQuitClosesTheWindow) {
    // (The strike's frames through P1, with Quit dropped meanwhile, are the
    // strike tests'.)
    ASSERT_TRUE(window.Form_Load());
    window.show();
    window.button(Command9)->click();
    EXPECT_EQ(window.story().state(), 2);
    EXPECT_TRUE(failures.isEmpty());
    window.button(Command12)->click();
    EXPECT_TRUE(window.game().ended());
    EXPECT_FALSE(window.isVisible()) << "Quit closes the window";
}

// A key press as the keyboard makes it, to whichever control has the focus.
void press(int key) {
    QWidget* to = QApplication::focusWidget();
    ASSERT_NE(to, nullptr);
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &down);
    QApplication::sendEvent(to, &up);
}

TEST(Focus, AnsweringAChoiceHandsTheFocusToTheStoryNeverToQuit) {
    // Players of story games press Space all the time: when the focused
    // button hides itself, the next Space must move the story on, not quit.
    const auto route = testing::shortest_route(story(), testing::reaches_state(230));
    ASSERT_TRUE(route.has_value());
    for (Button choice : {Command10, Command11}) {
        SCOPED_TRACE(name(choice));
        Pictures pictures;
        TestWindow window{story()};
        window.setFrameHold(std::chrono::milliseconds(1));
        ASSERT_TRUE(window.Form_Load());
        window.show();
        window.activateWindow();
        ASSERT_TRUE(testing::wait_until([&] { return window.isActiveWindow(); }));
        for (Button b : *route) window.button(b)->click();
        ASSERT_EQ(window.story().state(), 230);

        window.button(choice)->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        ASSERT_TRUE(testing::wait_until([&] { return !window.playingFrames(); }));
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        const int after = window.story().state();
        EXPECT_NE(after, 230);

        QPushButton* talk = window.button(Command1);
        ASSERT_TRUE(talk->isVisibleTo(&window));
        EXPECT_EQ(QApplication::focusWidget(), talk);
        // The style draws the focus ring only for focus a player can see.
        QStyleOptionButton option;
        option.initFrom(talk);
        EXPECT_TRUE(option.state.testFlag(QStyle::State_HasFocus));
        EXPECT_TRUE(option.state.testFlag(QStyle::State_KeyboardFocusChange)) << "no focus ring";

        press(Qt::Key_Space);
        EXPECT_TRUE(window.isVisible()) << "a stray Space quit the game";
        EXPECT_NE(window.story().state(), after) << "Space on Talk moved the story on";
        // Talk stays shown, but now it is the other's turn: Space after
        // Space reads the conversation.
        EXPECT_EQ(QApplication::focusWidget(), window.button(Command2));
        const int answered = window.story().state();
        press(Qt::Key_Space);
        EXPECT_NE(window.story().state(), answered) << "Space on Other speaks moved the story on";

        // Quit is still one Tab or a few away.
        bool reached = false;
        for (int i = 0; i < 15 && !reached; ++i) {
            press(Qt::Key_Tab);
            reached = QApplication::focusWidget() == window.button(Command12);
        }
        EXPECT_TRUE(reached) << "Tab never reached 終了";
    }
}

}  // namespace
}  // namespace suirei

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setFont(suirei::gameFont());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

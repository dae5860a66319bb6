// The strike at Iruka on the real window, in the sanitizer build too: while
// its frames are held, the player's clicks are dropped; closing the window
// during the frames ends the game; a frame that cannot be shown while the
// frames play is reported with no input filter left under the message.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include "check.hpp"
#include "explore.hpp"
#include "form6.hpp"
#include "scratch.hpp"
#include "stretches.hpp"

namespace suirei {
namespace {

using enum Button;
using namespace std::chrono_literals;

using testing::post_click;
using testing::ScratchPictures;
using testing::TestWindow;


struct Strike : ::testing::Test {
    ScratchPictures pictures;
    TestWindow window{story()};
    QStringList failures;
    // The same story on a memory screen, one click ahead: what the window
    // must show once the strike is over.
    MemoryScreen expected_screen;
    Story expected{expected_screen, story()};

    void SetUp() override {
        window.setFrameHold(120ms);
        window.setFailureHandler([this](const QString& m) { failures << m; });
        ASSERT_TRUE(window.Form_Load());
        window.show();
        const auto route = testing::shortest_route(story(), testing::reaches_state(230));
        ASSERT_TRUE(route.has_value());
        expected.Form_Load();
        for (Button b : *route) {
            ASSERT_TRUE(window.isVisible(b)) << name(b) << " at state " << window.story().state();
            window.button(b)->click();
            expected.click(b);
        }
        ASSERT_EQ(window.story().state(), 230);
        ASSERT_TRUE(window.isVisible(Command11));
        expected.click(Command11);
        ASSERT_EQ(expected.state(), 231);
    }

    bool wait_for_the_strike() { return testing::wait_for_the_strike(window); }

    // The story as the click left it; the screen shows it too unless the
    // window was closed before the frames were over.
    void expect_as_after_the_strike(bool shown = true) {
        EXPECT_EQ(window.story().memory(), expected.memory());
        for (Button b : kAllButtons) EXPECT_EQ(window.isVisible(b), expected_screen.isVisible(b)) << name(b);
        EXPECT_EQ(window.text(), expected_screen.text());
        if (shown) {
            EXPECT_EQ(window.pictureFile(), QStringLiteral("iru.bmp"));
            for (Button b : kAllButtons)
                EXPECT_EQ(window.button(b)->isVisibleTo(&window), expected_screen.isVisible(b)) << name(b);
        }
        EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
    }
};

TEST_F(Strike, ClicksDuringTheHeldFramesAreDropped) {
    // Quit is on screen all through the strike, and Talk appears under the
    // cursor as the last frame gives way to Iruka: a click on either that
    // got through would end the game or run the story on a page.
    int volleys = 0;
    QTimer clicker;
    clicker.setInterval(15ms);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (!window.pictureFile().startsWith(QStringLiteral("an"))) return;  // only while a frame is held
        post_click(window.button(Command12));
        post_click(window.button(Command1));
        post_click(window.button(Command11));
        ++volleys;
    });
    clicker.start();
    window.button(Command11)->click();
    ASSERT_TRUE(wait_for_the_strike());
    clicker.stop();
    EXPECT_GE(volleys, 3) << "the clicks came while the frames were held";

    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(window.QWidget::isVisible()) << "a click on Quit got through";
    expect_as_after_the_strike();

    // The same clicks once the strike is over reach the buttons again.
    post_click(window.button(Command1));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.story().state(), 232);
}

TEST_F(Strike, ClosingTheWindowDuringTheStrikeEndsTheGame) {
    // As in the game: the click comes from the event loop, the window is
    // closed while the second frame is held, and the game ends there.
    bool finished = false;
    QTimer::singleShot(0, &window, [&] {
        window.button(Command11)->click();
        finished = true;
    });
    QTimer::singleShot(180ms, &window, [&] { window.close(); });
    QTimer::singleShot(20s, qApp, [] { QCoreApplication::exit(99); });  // the game did not end
    EXPECT_EQ(QApplication::exec(), 0);

    EXPECT_TRUE(finished);
    EXPECT_FALSE(window.QWidget::isVisible());
    EXPECT_FALSE(window.playingFrames());
    expect_as_after_the_strike(false);
}

TEST_F(Strike, AFrameThatFailsWhileTheFramesPlayIsReportedWithInputFlowingAgain) {
    // an3.bmp was there when the click checked it and is gone when its turn
    // comes. The message must come up with the player's keys reaching it:
    // Return is what closes it.
    bool delivered = false;
    QPushButton probe;
    probe.setFocusPolicy(Qt::StrongFocus);
    QObject::connect(&probe, &QPushButton::clicked, [&] { delivered = true; });
    window.setFailureHandler([&](const QString& m) {
        failures << m;
        QCoreApplication::postEvent(&probe, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
        QCoreApplication::postEvent(&probe, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
        QCoreApplication::processEvents();
    });
    window.button(Command11)->click();
    ASSERT_TRUE(window.playingFrames());
    ASSERT_TRUE(QFile::remove(pictures.path(QStringLiteral("an3.bmp"))));
    testing::wait_until([&] { return !failures.isEmpty(); });
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains(QStringLiteral("an3.bmp"))) << failures[0].toStdString();
    EXPECT_TRUE(delivered) << "input was still dropped when the message came up";
    EXPECT_FALSE(window.playingFrames());
}

}  // namespace
}  // namespace suirei

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(suirei::Form6::gameFont());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

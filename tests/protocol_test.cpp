// What the play driver and the page are told, word for word, over a small
// table of their own: a recorded route and the page both read these lines.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "pictures.hpp"
#include "protocol.hpp"

namespace suirei {
namespace {

using enum Button;
using enum Speaker;

constexpr std::array kTable = {
    on(1, Command9).to(3).show(Command1).hide(Command9).say(narration, L0, "a\"b"),
    on(3, Command1).to(4).show(Command10, Command11).hide(Command1, Command2).say(prince, L0, "p").choice("１　x　　２　y"),
    on(4, Command11).to(5).hide(Command3).text(prince, "cry").frames("an1.bmp", "an2.bmp").picture("iru.bmp").show(Command9),
};
const Script::Opening kOpening = {"o1", "", "o3"};

struct Protocol : ::testing::Test {
    Script script{{kTable}, kOpening};
    Game game{script};
    void SetUp() override { game.start(); }
};

TEST_F(Protocol, TheDriverWritesEachPageAndRefusal) {
    EXPECT_EQ(protocol::play_line(game, std::nullopt),
              R"({"state":1,"visible":["Command9","Command12"],"text":"o1\r\n\r\n\r\n\r\no3\r\n\r\n\r\n\r\n\r\n\r\n",)"
              R"("picture":"kuron.bmp","frames":["kuron.bmp"],"ended":false})");
    game.click(Command9);
    EXPECT_EQ(protocol::play_line(game, Command9),
              R"({"click":"Command9","state":3,"visible":["Command1","Command12"],)"
              R"("text":"a\"b\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n","picture":"kuron.bmp","frames":[],"ended":false})");
    EXPECT_EQ(protocol::error(*game.refusal(Command9)),
              R"({"error":"Command9 (続きを読む) is not visible at state 3"})");
}

TEST_F(Protocol, ThePageHearsTheChoiceTheStrikeAndWhereTheFocusGoes) {
    game.click(Command9);
    game.click(Command1);
    const std::string choice = protocol::page_state(game, Command1);
    EXPECT_NE(choice.find(R"("visible":["Command10","Command11","Command12"],)"), std::string::npos) << choice;
    EXPECT_NE(choice.find(R"("focus":{"kind":"move","to":"Command11"},"described":{"Command10":"１　x　　２　y","Command11":"１　x　　２　y"},"spoken":"p\n１　x　　２　y"})"),
              std::string::npos) << choice;

    game.click(Command11);
    EXPECT_EQ(protocol::page_state(game, Command11),
              R"({"state":5,"visible":["Command9","Command12"],"text":"cry","picture":"iru.bmp","frames":[)"
              R"({"picture":"an1.bmp","text":"cry","visible":["Command12"],"hold":200,"spoken":"cry"},)"
              R"({"picture":"an2.bmp","text":"cry","visible":["Command12"],"hold":200,"spoken":"cry"}],"ended":false,)"
              R"("focus":{"kind":"move","to":"Command9"},"described":{},"spoken":"cry"})");
    // The frames are told once.
    EXPECT_NE(protocol::page_state(game, std::nullopt).find(R"("frames":[],)"), std::string::npos);

    game.click(Command12);
    EXPECT_NE(protocol::page_state(game, Command9).find(R"("ended":true,"focus":{"kind":"none","to":null},)"),
              std::string::npos);
}

TEST(ProtocolWindow, ThePageBuildsTheWindowFromTheLayoutAndThePictureTable) {
    const std::string w = protocol::window();
    EXPECT_TRUE(w.starts_with(R"({"title":"翠　嶺　秘　抄　～古代歴史ロマン～","shortTitle":"翠嶺秘抄","width":477,"height":284,"background":[255,128,128],)"
                              R"("maxFileBytes":67108864,"controls":[{"name":"P1","kind":"picture"},{"name":"T1","kind":"text"},)"))
        << w;
    EXPECT_NE(w.find(R"({"name":"Command12","kind":"button"}],)"), std::string::npos);
    for (const Picture& p : kPictures) {
        EXPECT_FALSE(p.description.empty()) << p.file;
        EXPECT_NE(w.find(R"({"file":")" + std::string(p.file) + R"(","description":")" + std::string(p.description) + "\"}"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace suirei

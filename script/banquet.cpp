// The banquet route: the prince spends a night at the Soga residence, then
// walks the same road as the main route (Shoan, his uncle, Kamatari's plan)
// only to be seized himself at the tribute ceremony.
//
// The scenes this route shares with the main route are written once, in
// shoan_pact.hpp and coup.hpp, and played here a fixed number of states on.
#include "coup.hpp"
#include "shoan_pact.hpp"
#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {
namespace {

// ── A night at the Soga residence ────────────────────────────────
constexpr std::array kBanquetNight = {
    on(301, Command3).to(302).show(Command7),
    on(302, Command7).to(303).show(Command3).hide(Command1).picture("amai.bmp")
        .text(iruka, "皇子様、今宵を心待ちにしておりました。宴の席はこちらに。"),
    on(303, Command3).to(304).show(Command9).picture("kuro.bmp")
        .text(narration, "その夜、蘇我の屋敷では盛大な宴が催された。"),
    on(304, Command9).to(305)
        .say(narration, L0,
             "私は夜通し入鹿と酒を酌み交わし、語り合った。",
             "不信の念がすっかり消えたわけではないが、",
             "蘇我については、多くを見誤っていたようだ。"),
    on(305, Command9).to(306)
        .say(narration, L0, "それでも、朝廷で蘇我を責める声は日ごとに高まっていた。", "あれこれ思いを巡らすうちに、いつしか夜が明けていた。")
        .clear(L2),
    on(306, Command9).to(307).show(Command1).hide(Command9)
        .say(narration, L0, "かくして……", "私の胸には、一つの迷いが芽生えていた。"),
};

// ── Morning: Iruka's parting gift ────────────────────────────────
constexpr std::array kParting = {
    on(307, Command1).to(308).picture("amai.bmp")
        .say(prince, L0, "入鹿どの、見事な宴であった。馳走になったな。")
        .clear(L1, L2),
    on(308, Command2).to(309)
        .say(iruka, L0, "なんの、もてなしと呼ぶにも足りぬ宴にございます。")
        .clear(L1, L2, L3, L4),
    on(309, Command1).to(310).say(prince, L0, "これほど長く語り合ったのは、初めてだな。"),
    on(310, Command2).to(311).say(iruka, L0, "得がたい一夜でございました。ぜひ、またお越しを。"),
    on(311, Command1).to(312).say(prince, L0, "また折を見て参ろう。では、これで失礼する。"),
    on(312, Command2).to(313)
        .say(iruka, L0, "お待ちくださいませ。ささやかながら引き出物を", "用意いたしました。どうかお納めを。"),
    on(313, Command1).to(314).show(Command10, Command11).hide(Command1, Command2)
        .say(prince, L0, "うーむ……")
        .clear(L1)
        .choice("１　受け取る　　２　断る"),
    on(314, Command10).to(315).text(prince, "遠慮なくいただいておこう。ではまた、入鹿どの。"),
    on(314, Command11).to(315).text(prince, "気持ちだけ受け取っておこう。ではまた、入鹿どの。"),
};

// ── To Shoan's house ─────────────────────────────────────────────
// Shoan's house, the right place, opens the shared counsel scene.
constexpr std::array kToShoan = {
    on(315, Command3).to(316).show(Command4, Command5, Command6, Command8),
    on(316, Command4).to(315).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(316, Command5).to(315).show(Command3).hide(Command1).picture("hou.bmp")
        .text(prince, "鎌足はおらぬのか。話したいことがあったのだが。"),
    on(316, Command8).to(315).show(Command3).hide(Command1).picture("ka.bmp").text(prince, lines::kUncleOut),
};

// ── To uncle Karu's house ────────────────────────────────────────
constexpr std::array kToKaru = {
    on(339, Command3).to(340).show(Command4, Command5, Command7, Command8),
};

// ── The uncle's bargain, taken without a second thought ──────────
constexpr std::array kBargain = {
    on(346, Command2).to(347).say(karu, L0, kUnclePromise),
};
constexpr std::array kAgreed = {
    on(349, Command1).to(350).say(prince, L0, "承知した。それで事もずっと運びやすくなろう。"),
};

// ── To Hokoji ────────────────────────────────────────────────────
constexpr std::array kToKamatari = {
    on(355, Command3).to(356).show(Command4, Command5, Command6, Command7),
};

// ── The tribute ceremony: the prince is seized ──────────────────
constexpr std::array kArrest = {
    on(379, Command1).to(380).say(prince, L0, "子麻呂、今だ！").clear(L1, L2, L3, L4),
    on(380, Command2).to(381).say(komaro, L0, "はっ、お任せくだされ！").clear(L1, L2, L3, L4),
    on(381, Command1).to(382)
        .say(prince, L0, "な、何をする！　なぜ私が縛られるのだ！", "鎌足、これはどういうことだ！"),
    on(382, Command2).to(383).say(kamatari, L0, "お静かになされませ、みこ様。"),
    on(383, Command1).to(384).say(prince, L0, "ううっ……").clear(L1),
    on(384, Command2).to(385)
        .say(kamatari, L0,
             "蘇我の屋敷で夜を明かされたこと、とうに存じております。",
             "これは軽皇子様のご命令。皆の者、みこ様をしかと捕らえておけ！"),
};

// ── Exile ──────────────────────────────────────────────────────────
constexpr std::array kExile = {
    on(385, Command1).to(386).show(Command9).hide(Command1, Command2).picture("kuro.bmp")
        .say(narration, L0, "入鹿は討たれ、その父蝦夷も翌日、自ら命を絶った。"),
    on(386, Command9).to(387)
        .say(narration, L0, "私もまた捕らえられ、都を追われた。", "この変の後、おじの軽皇子が位に就き、", "孝徳天皇となった。")
        .clear(L3, L4),
    on(387, Command9).to(388)
        .say(narration, L0, "新しい天皇は国の内にも外にもよく目を配り、", "この国をどうにか立て直していった。")
        .clear(L2),
    on(388, Command9).to(389).hide(Command9)
        .say(narration, L0, "だが、その御代に私の活躍する場は、もうなかった。")
        .clear(L1)
        .say(narration, L2, lines::kTheEnd),
};

// The shared scenes sit this many states after their main-route places.
inline constexpr int kShoanOffset = 316 - 158;
inline constexpr int kKaruOffset = 340 - 182;
inline constexpr int kTestOffset = 347 - 191;
inline constexpr int kAlliesOffset = 350 - 196;
inline constexpr int kPlanOffset = 356 - 202;
static_assert(kShoanOffset == kKaruOffset && 346 - 188 == kKaruOffset);

constexpr auto kTable = concat(kBanquetNight, kParting, kToShoan,
                               shifted(kShoanCounsel, kShoanOffset),
                               kToKaru,
                               shifted(kKaruWaits, kKaruOffset),
                               kBargain,
                               shifted(kKaruTest, kTestOffset),
                               kAgreed,
                               shifted(kKaruAllies, kAlliesOffset),
                               kToKamatari,
                               shifted(kKamatariPlan, kPlanOffset),
                               shifted(kCeremonyEve, kPlanOffset),
                               kArrest, kExile);
static_assert(check_stretch(kTable, {{301, 389}}));

}  // namespace

std::span<const Rule> banquet() { return kTable; }

}  // namespace suirei::script

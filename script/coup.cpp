#include "coup.hpp"
#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {
namespace {

// ── Leaving the uncle's house for Hokoji ─────────────────────────
constexpr std::array kSetOut = {
    on(201, Command3).to(202).show(Command4, Command5, Command6, Command7),
};

// ── The hall: Komaro falters ─────────────────────────────────────
constexpr std::array kHall = {
    on(225, Command1).to(226).say(prince, L0, "子麻呂、どうしたのだ！"),
    on(226, Command2).to(227).say(komaro, L0, "う、うう……"),
    on(227, Command1).to(228).say(prince, L0, "もうすぐ上表文が読み終わってしまうぞ！"),
    on(228, Command2).to(229).say(komaro, L0, "……ああ……"),
    on(229, Command1).to(230).show(Command10, Command11).hide(Command1, Command2)
        .say(prince, L0, "ええい、こうなったら！")
        .clear(L1)
        .choice("１　子麻呂を斬る　　２　自分で入鹿に斬りつける"),

    // ── The strike ───────────────────────────────────────────────
    // "1" cuts Komaro down and the plot falls apart; "2" is the prince's own
    // blow, held frame by frame while his cry stands on the page.
    on(230, Command10).to(501).clear_text().hide(Command3).picture("iru.bmp").show(Command1),
    on(230, Command11).to(231).hide(Command3)
        .text(prince, "入鹿、覚悟せよ！")
        .frames("an1.bmp", "an2.bmp", "an3.bmp", "an4.bmp")
        .picture("iru.bmp")
        .clear_text()
        .show(Command1),

    // ── Iruka falls ──────────────────────────────────────────────
    on(231, Command1).to(232).say(prince, L0, "……入鹿を、討ち果たしたぞ！").clear(L1, L2),
    on(232, Command2).to(233)
        .say(kamatari, L0, "鎌足：お見事でございます、みこ様！")
        .say(mother, L1, "天皇：そなた、なんということを……"),
    on(233, Command1).to(234).say(prince, L0, "すべてはこの国のため。母上、どうかお許しください。"),
    on(234, Command2).to(235).show(Command9).hide(Command1, Command2)
        .say(narration, L0, "入鹿はついに、私の刃に倒れた。")
        .clear(L1),

    // ── After the coup: the reforms ──────────────────────────────
    on(235, Command9).to(236)
        .say(narration, L0, "翌日、入鹿の父蝦夷は甘橿の丘の屋敷に", "火を放ち、自ら命を絶った。"),
    on(236, Command9).to(237)
        .say(narration, L0, "その後、母は皇位を退き、おじの軽皇子が", "即位して孝徳天皇となった。"),
    on(237, Command9).to(238)
        .say(narration, L0, "私は位に就くことなく、皇太子として政を助け、", "冠位十二階を改めて十三階とした。"),
    on(238, Command9).to(239)
        .say(narration, L0, "これにより、すべての氏族が冠位を受け、", "天皇に仕える官人となったのである。"),
    on(239, Command9).to(240)
        .say(narration, L0, "おのずと、百済や高句麗への使いは途絶え、", "唐や新羅へたびたび使いを送るようになった。"),
    on(240, Command9).to(241).say(narration, L0, "こうして、国に迫っていた危機は去った。").clear(L1),
    on(241, Command9).to(242).hide(Command9)
        .say(narration, L0, "だが、新しい政の仕組みがしっかり整うまでには、",
             "さらに五十年ほどの歳月が必要であった。")
        .clear(L2)
        .say(narration, L3, lines::kTheEndMain),
};

constexpr auto kTable = concat(kSetOut, kKamatariPlan, kCeremonyEve, kHall);
static_assert(check_stretch(kTable, {{201, 242}}));

}  // namespace

std::span<const Rule> coup() { return kTable; }

}  // namespace suirei::script

// Scenes of Shoan's counsel and uncle Karu's pact that the banquet route
// plays again, written once here at the states of the main route. The
// banquet route plays them with shifted(kScene, offset), so a player who
// went to the banquet reads the very same pages.
#pragma once

#include <array>

#include "vocabulary.hpp"

namespace suirei::script {

// ── Shoan's house: the prince's doubts, the peninsula and Tang ──────
// From the welcome at the gate to Shoan's promise to watch over him.
inline constexpr std::array kShoanCounsel = {
    on(158, Command6).to(159).picture("shou.bmp")
        .text(shoan, "みこ様か、よう参られた。まずは奥へ、奥へ。"),
    on(159, Command1).to(160).say(prince, L0, "請安どの、実は……").clear(L1, L2),
    on(160, Command2).to(161)
        .say(shoan, L0, "はて、道に迷われたようなお顔をしておいでじゃ。", "いかがなされた？")
        .clear(L2, L3),
    on(161, Command1).to(162).say(prince, L0, "まさに、そのとおりなのだ。"),
    on(162, Command2).to(163).say(shoan, L0, "お聞かせくだされ。").clear(L1),
    on(163, Command1).to(164)
        .say(prince, L0,
             "近ごろ、蘇我はただの悪ではないと思えてきたのだ。",
             "確かに度を越した振る舞いも多かった。",
             "だが、朝廷の中心として天皇を支え、",
             "この国を安定させてきたのも蘇我なのだ。"),
    on(164, Command2).to(165)
        .say(shoan, L0,
             "いかにも。蘇我は、国を守るは己が務めと思い定めておる。",
             "その気負いと、事を急く心が、行き過ぎを生んだのじゃ。",
             "されど、余人の目には専横としか映りませぬ。"),
    on(165, Command1).to(166).say(prince, L0, "それで、蘇我の評判は悪いのか。").clear(L1, L2, L3),
    on(166, Command2).to(167).say(shoan, L0, "権勢を握る者の定めでござるな。").clear(L1, L2),
    on(167, Command1).to(168)
        .say(prince, L0,
             "蘇我を倒せと言う者たちは、",
             "本当にこの国のことを思っているのだろうか。",
             "それとも、ただのねたみなのか……"),
    on(168, Command2).to(169).say(shoan, L0, "なるほど、それで迷っておられたのか。"),
    on(169, Command1).to(170).say(prince, L0, "私はどうすればよいのだ？").clear(L1, L2),
    on(170, Command2).to(171)
        .say(shoan, L0,
             "蘇我は悪ではござらぬ。",
             "されど、このまま蘇我に政を任せておけば、",
             "この国は存亡の危機に立たされましょう。"),
    on(171, Command1).to(172).say(prince, L0, "穏やかではないな。なにゆえだ？"),
    on(172, Command2).to(173)
        .say(shoan, L0,
             "海の向こうの三韓では、高句麗・新羅・百済が",
             "長らく争いを続けておりましてな。",
             "三年前には百済と高句麗が手を結び、",
             "唐は新羅と組んで、高句麗を討たんとしておる。"),
    on(173, Command1).to(174).say(prince, L0, "それが、この国とどう関わる？"),
    on(174, Command2).to(175)
        .say(shoan, L0,
             "蘇我は百済の流れをくむ一族。馬子どのの代から",
             "ずっと百済寄りの政を続けてまいった。",
             "蝦夷どの、入鹿どのに至っては、百済を脅かす",
             "唐への使いまで絶ってしもうた。そして今なお、",
             "風雲急を告げるこの時に、百済と高句麗に肩入れしておる。"),
    on(175, Command1).to(176).say(prince, L0, "……！"),
    on(176, Command2).to(177)
        .say(shoan, L0,
             "先ごろ、唐はついに高句麗へ攻め入り、",
             "新羅と百済もまた戦を始めた。",
             "唐の軍勢は、初めから優勢と聞き及ぶ。",
             "このまま蘇我が百済寄りの政を続ければ、",
             "唐がこの国へ攻め寄せてくるのは必定でござる。"),
    on(177, Command1).to(178)
        .say(prince, L0,
             "それは一大事だ。請安どの、礼を言う。迷いが晴れた。",
             "蘇我への敵意は薄れかけていたが、",
             "もはや蘇我に政を任せておくことは",
             "できぬとわかった。"),
    on(178, Command2).to(179)
        .say(shoan, L0, "この国の行く末は、みこ様の双肩にかかっておる。", "勇気をもって事に当たりなされ。")
        .clear(L2, L3, L4),
    on(179, Command1).to(180).say(prince, L0, "この命に代えても、この国を守ってみせる。").clear(L1, L2, L3),
    on(180, Command2).to(181).show(Command3).hide(Command1, Command2)
        .say(shoan, L0, "この目の黒いうちは、みこ様のなさること、しかと見届けますぞ。")
        .clear(L1),
};

// ── Uncle Karu has been waiting ──────────────────────────────────
// The places offered from 181, the uncle's greeting, and his bid for help.
inline constexpr std::array kKaruWaits = {
    on(182, Command4).to(181).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(182, Command5).to(181).show(Command3).hide(Command1).picture("hou.bmp")
        .text(prince, "鎌足はいないようだな。大事な話があるのだが。"),
    on(182, Command7).to(181).show(Command3).hide(Command1).picture("ama.bmp")
        .text(prince, lines::kIrukaHomeNotNow),
    on(182, Command8).to(183).picture("karu.bmp").text(karu, "来たか、中大兄。待っておったぞ。"),
    on(183, Command1).to(184).say(prince, L0, "蘇我は、どうあっても倒さねばならぬようだ。"),
    on(184, Command2).to(185).say(karu, L0, "くっくっ、何を今さら。言うまでもないことよ。"),
    on(185, Command1).to(186).say(prince, L0, "私を待っていたと？　何のためだ？"),
    on(186, Command2).to(187).say(karu, L0, "蘇我を倒すため、そなたの力を借りたいのだ。"),
    on(187, Command1).to(188).say(prince, L0, "蘇我を倒すため？　皇位のため、であろう。"),
};

// The uncle's bargain: the throne for him, the crown-prince's seat for his
// nephew. He offers it in the same words on both routes.
inline constexpr Lines2 kUnclePromise = {
    "はっはっ、これは手厳しい。わしが天皇となった暁には、",
    "そなたを皇太子にしてやろう。悪い話ではあるまい？",
};

// ── The uncle's test: a marriage into the Soga ──────────────────
inline constexpr std::array kKaruTest = {
    on(191, Command1).to(192).say(prince, L0, "手を組む以上、まず私は何をすればよい？").clear(L1, L2),
    on(192, Command2).to(193)
        .say(karu, L0,
             "そなたの覚悟のほどを試させてもらおう。",
             "蘇我倉山田石川麻呂は、一族ながら蝦夷・入鹿と不仲でな。",
             "これを味方に引き入れて、蘇我を二つに割る。",
             "そなた、その石川麻呂の娘を娶れ。どうだ？"),
};

// ── The allies ───────────────────────────────────────────────────
// From the uncle's welcome into the plot to his word that Kamatari will
// explain the plan.
inline constexpr std::array kKaruAllies = {
    on(196, Command2).to(197)
        .say(karu, L0, "よう言うた。これからは、そなたも我らの仲間だ。")
        .clear(L1, L2, L3),
    on(197, Command1).to(198).say(prince, L0, "ほかには、どのような者が味方なのだ？"),
    on(198, Command2).to(199)
        .say(karu, L0,
             "軍師は、そなたも知っておる中臣鎌足よ。",
             "主だった者は巨勢徳陀古、大伴馬飼、佐伯子麻呂、",
             "それに葛城稚犬養網田といったところだ。"),
    on(199, Command1).to(200).say(prince, L0, lines::kISee),
    on(200, Command2).to(201).show(Command3).hide(Command1, Command2)
        .say(karu, L0,
             "この者たちは皆、わしの本拠、和泉の軽部の",
             "あたりに住み、いつでも戦える構えでおる。",
             "やがてそなたの義父となる蘇我倉山田石川麻呂も",
             "我らの側についておる。",
             "詳しい策は、鎌足から聞くがよい。"),
};

static_assert(check_stretch(kShoanCounsel, {{158, 180}}));
static_assert(check_stretch(kKaruWaits, {{182, 187}}));
static_assert(check_stretch(kKaruTest, {{191, 192}}));
static_assert(check_stretch(kKaruAllies, {{196, 200}}));

}  // namespace suirei::script

// Scenes of the coup that the other routes play again, written once here at
// the states of the main route. Elsewhere they are played with
// shifted(kScene, offset), so every route shows the very same lines.
#pragma once

#include <array>

#include "vocabulary.hpp"

namespace suirei::script {

// ── Hokoji: Kamatari tells the plan ──────────────────────────────
// The places offered from 201, then the talk with Kamatari up to his farewell.
inline constexpr std::array kKamatariPlan = {
    on(202, Command4).to(201).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(202, Command5).to(203).picture("houka.bmp").text(kamatari, lines::kOhHighness),
    on(202, Command6).to(201).show(Command3).hide(Command1).picture("sh.bmp").text(prince, lines::kShoanOut),
    on(202, Command7).to(201).show(Command3).hide(Command1).picture("ama.bmp").text(prince, lines::kIrukaHomeNotNow),

    on(203, Command1).to(204).say(prince, L0, "今、おじ上のところから戻ったのだが……"),
    on(204, Command2).to(205)
        .say(kamatari, L0, "はい、存じております。みこ様は軽皇子様の", "お頼みを快くお引き受けになったとか。")
        .clear(L2, L3, L4),
    on(205, Command1).to(206).say(prince, L0, "なぜ、それを知っているのだ？"),
    on(206, Command2).to(207)
        .say(kamatari, L0, "ふふ、そのくらいのお話でしたら、", "すぐにこの鎌足の耳に入ってまいります。"),
    on(207, Command1).to(208).say(prince, L0, "さすがは鎌足だな。"),
    on(208, Command2).to(209).say(kamatari, L0, "恐れ入ります。").clear(L1),
    on(209, Command1).to(210).say(prince, L0, "では本題だ。蘇我を倒す策を聞かせてくれ。"),
    on(210, Command2).to(211)
        .say(kamatari, L0, "近々、三韓の使者が都へ上り、", "天皇に貢ぎ物を奉ることになっております。"),
    on(211, Command1).to(212).say(prince, L0, "うむ、そうであったな。"),
    on(212, Command2).to(213)
        .say(kamatari, L0, "その儀式には、大臣である入鹿も", "必ず出席せねばなりませぬ。"),
    on(213, Command1).to(214).say(prince, L0, lines::kIndeed),
    on(214, Command2).to(215)
        .say(kamatari, L0, "石川麻呂どのが三韓の上表文を読み上げる間に、",
             "佐伯子麻呂らが入鹿を斬り捨てます。",
             "儀式が始まりましたら、宮の十二の門をすべて閉ざします。"),
    on(215, Command1).to(216).say(prince, L0, "母上の目の前で、血を流すことになるのか……"),
    on(216, Command2).to(217)
        .say(kamatari, L0, "これ以上の好機はございません。やむを得ぬことかと。")
        .clear(L1, L2),
    on(217, Command1).to(218).say(prince, L0, "是非もない。そなたの策に命を預けよう。"),
    on(218, Command2).to(219).show(Command3).hide(Command1, Command2).say(kamatari, L0, lines::kUntilLater),
};

// ── The eve and the day of the tribute ceremony ──────────────────
// Days of planning, the narration of the morning, and the hall opening with
// Ishikawamaro's first words. The Move at 225 leaves the state where it is;
// Talk's rule at 225, which differs from route to route, is not part of it.
inline constexpr std::array kCeremonyEve = {
    on(219, Command3).to(220).show(Command9).picture("kuro.bmp").text(narration, lines::kDaysOfPlanning),
    on(220, Command9).to(221)
        .say(narration, L0, "唐にならい、新しい国づくりを始めたい。", "そうしなければ、この国に未来はない。")
        .clear(L2),
    on(221, Command9).to(222).say(narration, L0, "失敗は許されない！").clear(L1),
    on(222, Command9).to(223).say(narration, L0, "そして今日は、六月十二日。"),
    on(223, Command9).to(224)
        .say(narration, L0, "ついに三韓の使者が貢ぎ物を携えて、", "ここ飛鳥の板葺宮へやって来たのだ。"),
    on(224, Command9).to(225).show(Command3).hide(Command9)
        .say(narration, L0, "いよいよ、計画を実行する時が来た。")
        .clear(L1),
    on(225, Command3).show(Command1).picture("dai.bmp").text(ishikawamaro, lines::kTributeReading),
};

static_assert(check_stretch(kKamatariPlan, {{202, 218}}));
static_assert(check_stretch(kCeremonyEve, {{219, 225}}));

}  // namespace suirei::script

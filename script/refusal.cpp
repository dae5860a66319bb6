#include "coup.hpp"
#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {
namespace {

// ── The prince turns his uncle down ──────────────────────────────
constexpr std::array kParting = {
    on(401, Command1).to(402)
        .say(prince, L0, "おじ上と私とでは、考えが違うようだ。")
        .clear(L1, L2, L3, L4),
    on(402, Command2).to(403)
        .say(karu, L0, "何がどう違うと申すのだ？")
        .clear(L1, L2, L3, L4),
    on(403, Command1).to(404)
        .say(prince, L0, "私は自ら皇位を望んでいるわけではない。", "ただ国のためだけに立ち上がるのだ。"),
    on(404, Command2).to(405).say(karu, L0, "だが、蘇我を倒すという点では同じであろう。"),
    on(405, Command1).to(406)
        .say(prince, L0, "そこは同じだ。だが、目的のためには手段を選ばぬ", "おじ上のやり方には、ついていけぬ。"),
    on(406, Command2).to(407).say(karu, L0, "ふっ、そなたは若い。いや、青いと言うべきか。"),
    on(407, Command1).to(408)
        .say(prince, L0, "私は私の道を行く。そして唐のように、", "この国を変えてみせる。"),
    on(408, Command2).to(409).show(Command3).hide(Command1, Command2)
        .say(karu, L0, "ならば、好きにするがよい。"),

    // ── Looking for Kamatari ─────────────────────────────────────
    on(409, Command3).to(410).show(Command4, Command5, Command6, Command7),
    on(410, Command4).to(409).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(410, Command5).to(411).picture("houka.bmp").text(kamatari, "おお、みこ様！　お捜ししておりました。"),
    on(410, Command6).to(409).show(Command3).hide(Command1).picture("sh.bmp").text(prince, lines::kShoanOut),
    on(410, Command7).to(409).show(Command3).hide(Command1).picture("ama.bmp").text(prince, lines::kIrukaHomeNotNow),

    // ── Hokoji: a rare chance ────────────────────────────────────
    on(411, Command1).to(412)
        .say(prince, L0, "私もそなたを捜していたのだ。")
        .clear(L1, L2, L3, L4),
    on(412, Command2).to(413)
        .say(kamatari, L0, "これはご無礼を。何かと駆け回っておりましたもので。")
        .clear(L1, L2),
    on(413, Command1).to(414).say(prince, L0, "蘇我を倒す支度は進んでいるか？"),
    on(414, Command2).to(415).say(kamatari, L0, "はい。それに、またとない好機が巡ってまいります。"),
    on(415, Command1).to(416).say(prince, L0, "ほう、詳しく聞かせてくれ。"),
    on(416, Command2).to(417)
        .say(kamatari, L0, "近々、三韓の使者が貢ぎ物を携えてまいります。",
             "これを迎える儀式には、入鹿も出席せねばなりませぬ。",
             "宮の中でなら、入鹿も油断いたしましょう。",
             "そこを狙って討つのでございます。"),
    on(417, Command1).to(418).say(prince, L0, "誰か、加わってくれそうな者はいるのか？"),
    on(418, Command2).to(419)
        .say(kamatari, L0, "腕の立つ佐伯子麻呂をはじめ、心当たりがございます。",
             "みこ様の後ろ盾があると申せば、たやすく味方につきましょう。",
             "時はまだございます。策を十分に練り、",
             "大胆に、しかし慎重に事を運びましょう。"),
    on(419, Command1).to(420).say(prince, L0, "うむ、そうしよう。"),
    on(420, Command2).to(421).show(Command3).hide(Command1, Command2)
        .say(kamatari, L0, lines::kUntilLater)
        .clear(L1, L2, L3, L4),
};

// ── The hall: Komaro never comes ─────────────────────────────────
constexpr std::array kEmptyHall = {
    on(427, Command1).to(428)
        .say(prince, L0, "鎌足、入鹿を斬るはずの子麻呂はどこだ？",
             "石川麻呂どのが、三韓の上表文を読み終えてしまうぞ……",
             "……ああ、読み終えてしまった。")
        .clear(L3, L4),
    on(428, Command2).to(429)
        .say(kamatari, L0, "策は破れましてございます。いざという時に、",
             "皆に裏切られてしまいました。冠位などの褒美を",
             "約束しておくべきでございました。志や大義だけでは、",
             "人はなかなか動かぬものでございます。"),
};

// ── The failed coup ──────────────────────────────────────────────
// Reached from the empty hall and, one click from 505, from the rash attack.
constexpr std::array kFailure = {
    on(429, Command1).to(430).show(Command9).hide(Command1, Command2).picture("kuro.bmp")
        .say(narration, L0, "結局、計画は失敗に終わった。")
        .clear(L1, L2, L3, L4),
    on(430, Command9).to(431)
        .say(narration, L0, "しかし、その後の蘇我の世は、長くは続かなかった。")
        .clear(L1, L2),
    on(431, Command9).to(432).say(narration, L0, "数年後、軽皇子を中心に世を改めんとする者たちが蘇我氏を滅ぼした。"),
    on(432, Command9).to(433).say(narration, L0, "その中には、鎌足の姿もあった。"),
    on(433, Command9).to(434)
        .say(narration, L0, "軽皇子は即位して孝徳天皇となり、", "私の弟、大海人皇子が皇太子となった。"),
    on(434, Command9).to(435)
        .say(narration, L0, "だが私は、二度と歴史の表舞台に立つことはなかった。")
        .clear(L1)
        .say(narration, L2, lines::kTheEnd),
};

// ── The rash attack: Komaro cut down ─────────────────────────────
constexpr std::array kRashAttack = {
    on(501, Command1).to(502)
        .say(prince, L0, "わ、私は何を……。怒りに我を忘れ、子麻呂を斬ってしまうとは！")
        .clear(L1, L2, L3, L4),
    on(502, Command2).to(503)
        .say(kamatari, L0, "みこ様、気でも違われましたか！")
        .clear(L1, L2, L3, L4),
    on(503, Command1).to(504).say(prince, L0, "か、鎌足……"),
    on(504, Command2).to(505).say(kamatari, L0, "皆の者、みこ様を取り押さえよ！"),
    // Talk's rule for 429 fires in the same click and opens the failed coup.
    on(505, Command1).to(429),
};

constexpr auto kTable = concat(kParting, shifted(kCeremonyEve, 202), kEmptyHall, kFailure, kRashAttack);
static_assert(check_stretch(kTable, {{401, 435}, {501, 505}}));

}  // namespace

std::span<const Rule> refusal() { return kTable; }

}  // namespace suirei::script

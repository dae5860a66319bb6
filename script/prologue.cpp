// The prologue and the first meetings: the claimants to the throne, the
// empress's suggestion, the choice of the ball game, Kamatari at Hokoji and
// the old scholar Shoan; and the side path of the prince who stays away from
// the game, wanders to Amakashi hill and meets Kamatari all the same.
#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {
namespace {

// Kamatari's wish, spoken on both paths to him: after the ball game and at
// the quiet Hokoji of the prince who stayed away.
constexpr std::string_view kLongedToServe = "かねてより、みこ様にお近づきになりたいと願っておりました。";

constexpr std::array kTable = {
    // ── Who would sit on the throne ─────────────────────────────────
    on(1, Command9).to(2)
        .say(narration, L0,
             "蘇我氏を後ろ盾とする、古人大兄皇子。",
             "聖徳太子の御子、山背大兄王。",
             "母の弟である、軽皇子。",
             "そして……"),
    on(2, Command9).to(3)
        .say(narration, L0, "皇極天皇の子である、この私、中大兄皇子。")
        .clear(L1, L2, L3),
    on(3, Command9).to(4)
        .say(narration, L0,
             "そうした中、蘇我入鹿は、おのれの権勢を守らんがため、",
             "あろうことか山背大兄王を攻めて死に追いやり、",
             "聖徳太子の上宮王家はここに滅び去ったのである。"),
    on(4, Command9).to(5).show(Command1).hide(Command9).picture("kou.bmp")
        .say(narration, L0, "物語は、", "ここから", "始まる。"),

    // ── The empress's suggestion ────────────────────────────────────
    on(5, Command1).to(6).say(prince, L0, "母上、お呼びでしょうか。"),
    on(6, Command2).to(7)
        .say(mother, L0,
             "たいした用ではないのですが、今日は法興寺で",
             "蹴鞠の会があるそうですよ。そなたも行ってみてはどうですか。"),
    on(7, Command1).to(8).show(Command10, Command11).hide(Command1, Command2)
        .say(prince, L0, "蹴鞠か……。さて、どうしたものか。")
        .clear(L1)
        .choice("１　行く　　　２　行かない"),
    on(8, Command10).to(9).text(prince, "朝廷の方々との交わりも大事ですね。行ってまいります。"),
    on(8, Command11).to(259).text(prince, "今日はどうも気が乗りません。またの折にいたします。"),

    // ── The ball game at Hokoji ─────────────────────────────────────
    on(9, Command3).to(10).show(Command5),
    on(10, Command5).to(11).picture("houke.bmp").text(ball_player, "みこ様、鞠がそちらへ飛びますぞ！"),
    on(11, Command1).to(12)
        .say(prince, L0, "はっはっは、よし、それっ！……おっと、しまった！")
        .say(prince, L1, "（蹴った拍子に、沓が脱げて飛んでいってしまった。）")
        .clear(L2),
    on(12, Command2).to(13).picture("houka.bmp")
        .say(kamatari, L0, "みこ様、御沓をお持ちいたしました。")
        .clear(L1),

    // ── Kamatari ────────────────────────────────────────────────────
    on(13, Command1).to(14).say(prince, L0, "おお、かたじけない。そなたは何者だ？").clear(L1),
    on(14, Command2).to(15)
        .say(kamatari, L0, "中臣鎌足と申します。中大兄皇子様でいらっしゃいますね。", kLongedToServe),
    on(15, Command1).to(16).say(prince, L0, "私に近づきたかったと申すか。"),
    on(16, Command2).to(17).say(kamatari, L0, "はい、まことでございます。").clear(L1),
    on(17, Command1).to(18).say(prince, L0, "ならば、板葺宮へ訪ねてくればよかったではないか。"),
    on(18, Command2).to(19)
        .say(kamatari, L0,
             "恐れながら、宮に上がれるのは官人だけでございます。",
             "位を持たぬ私などは、お召しでもなければ",
             "宮の門をくぐることもかないませぬ。"),
    on(19, Command1).to(20).say(prince, L0, "そういうことか。して、私に近づいたわけは何だ？"),
    on(20, Command2).to(21)
        .say(kamatari, L0, "蘇我氏のことでございます。", "みこ様は、蘇我氏をどうお思いになりますか。")
        .clear(L2),
    on(21, Command1).to(22).say(prince, L0, "包み隠さず言おう。蘇我の振る舞いは目に余る。"),
    on(22, Command2).to(23)
        .say(kamatari, L0,
             "私は、この国の先行きを案じております。",
             "朝廷の中にも、蘇我氏の専横を苦々しく思う者が",
             "日に日に増えているのでございます。"),
    on(23, Command1).to(24).say(prince, L0, "それはゆゆしきことだな。"),
    on(24, Command2).to(25)
        .say(kamatari, L0,
             "この鎌足、ひそかに蘇我氏を倒さんと心に決めております。",
             "されど、力なき身でございますゆえ、",
             "みこ様のお力をお借りしたいと思ったのでございます。"),
    on(25, Command1).to(26)
        .say(prince, L0,
             "私も蘇我のやり方は気に入らぬ。",
             "蘇我を倒せるものなら、それに越したことはない。",
             "だが、事はそう容易くはないぞ。"),
    on(26, Command2).to(27)
        .say(kamatari, L0,
             "それには何よりもまず、知恵を授けてくださる方が要りましょう。",
             "みこ様は、南淵請安先生を",
             "ご存じでいらっしゃいますか。"),
    on(27, Command1).to(28).say(prince, L0, "名は聞いたことがある。").clear(L1, L2),
    on(28, Command2).to(29)
        .say(kamatari, L0, "ぜひ一度、請安先生にお会いくださいませ。", "その後で、またみこ様にお目にかかりとう存じます。")
        .clear(L2),
    on(29, Command1).to(30).say(prince, L0, "よし、会ってみよう。"),
    on(30, Command2).to(31).say(kamatari, L0, "では、私から先生にみこ様のことをお伝えしておきます。").clear(L1),
    on(31, Command1).to(32).say(prince, L0, "うむ、頼んだぞ。"),
    on(32, Command2).to(33).show(Command3).hide(Command1, Command2).say(kamatari, L0, "かしこまりました。"),

    // ── Shoan ───────────────────────────────────────────────────────
    on(33, Command3).to(34).show(Command6),
    on(34, Command6).to(35).picture("shou.bmp"),
    on(35, Command1).to(36).say(prince, L0, "請安どの、おられるか。中大兄だ。"),
    on(36, Command2).to(37)
        .say(shoan, L0, "お待ち申しておりましたぞ、中大兄皇子様。", "南淵請安にござる。むさ苦しい所じゃが、お上がりくだされ。"),
    on(37, Command1).to(38).say(prince, L0, "では、邪魔をする。"),
    on(38, Command2).to(39).say(shoan, L0, "ほう、鎌足どのの申したとおり、凛々しいお方じゃ。").clear(L1),
    on(39, Command1).to(40).say(prince, L0, "請安どのは、唐に渡っておられたそうだな。"),
    on(40, Command2).to(41).say(shoan, L0, "さよう、かれこれ三十三年ほどおりましたかな。"),
    on(41, Command1).to(42).say(prince, L0, "唐とは、どのような国なのだ？"),
    on(42, Command2).to(43)
        .say(shoan, L0, "それは見事な国でござる。国を興した折に均田制と租・庸・調を",
             "定めましてな、その力は年ごとに増すばかりじゃ。"),
    on(43, Command1).to(44).say(prince, L0, "わが国も唐を手本として、", "揺るぎない国を築かねばならぬな。"),
    on(44, Command2).to(45)
        .say(shoan, L0, "まことに。この老いぼれも、及ばずながら", "この国が栄えるよう、力を尽くしとうござる。"),
    on(45, Command1).to(46).say(prince, L0, "ときに、蘇我氏をどう見る？").clear(L1),
    on(46, Command2).to(47)
        .say(shoan, L0, "蘇我氏は政の実権をその手に握り、", "その勢いたるや、飛ぶ鳥をも落とすほどでござるな。"),
    on(47, Command1).to(48)
        .say(prince, L0, "だが、山背大兄王を死に追いやり、", "上宮王家を滅ぼしたのは、度が過ぎてはおらぬか。"),
    on(48, Command2).to(49)
        .say(shoan, L0, "それもこれも、権力の頂に立つ者の", "焦りから出たことでござろう。"),
    on(49, Command1).to(50).say(prince, L0, "だからといって、許されることではない。").clear(L1),
    on(50, Command2).to(51).say(shoan, L0, "ごもっともでござる。").clear(L1),
    on(51, Command1).to(52).say(prince, L0, "私は、何とかせねばならぬと思っている。"),
    on(52, Command2).to(53).say(shoan, L0, "お気持ちはわかり申すが、くれぐれも慎重になされよ。"),
    on(53, Command1).to(54).say(prince, L0, "……わかった。"),
    on(54, Command2).to(55).show(Command3).hide(Command1, Command2)
        .say(shoan, L0, "この請安、陰ながらみこ様を見守っておりますぞ。"),

    // ── Back to the palace ──────────────────────────────────────────
    on(55, Command3).to(56).show(Command4, Command5),
    on(56, Command4).to(57).picture("kou.bmp").text(mother, "おや、戻ったのですね。"),
    on(56, Command5).to(55).show(Command3).hide(Command1).picture("hou.bmp").text(prince, lines::kKamatariAway),

    // ── The prince who stayed away from the game ────────────────────
    on(259, Command3).to(260).show(Command7),
    on(260, Command7).to(261).show(Command3).hide(Command1).picture("ama.bmp")
        .text(prince, "ここが蘇我の屋敷か。人の気配がないな。"),
    on(261, Command3).to(262).show(Command4, Command5),
    on(262, Command4).to(261).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(262, Command5).to(263).picture("houka.bmp").text(kamatari, "もしや、中大兄皇子様ではございませんか。"),
    on(263, Command1).to(264).say(prince, L0, "いかにも。そなたは何者だ？").clear(L1, L2, L3, L4).clear_trailer(),
    on(264, Command2).to(265).say(kamatari, L0, "中臣鎌足と申す者でございます。", kLongedToServe),
    // Talk here only goes back to 15; the rule for 15 answers in the same click.
    on(265, Command1).to(15),
};
static_assert(check_stretch(kTable, {{1, 56}, {259, 265}}));

}  // namespace

std::span<const Rule> prologue() { return kTable; }

const Script::Opening kOpening = {
    "時は七世紀の半ば、皇極天皇の御代のこと。",
    "平和なこの飛鳥の地にも、",
    "皇位の継承をめぐる争いが起こっていた。",
};

}  // namespace suirei::script

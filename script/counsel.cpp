// The mother's counsel and the visit to Karu: back at the Itabuki palace the
// empress hears her son out on the Soga and answers him at length; then the
// prince looks for his allies, finds Kamatari again and is sent on to his
// uncle, Prince Karu.
#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {
namespace {

// The prince below the Soga mansion on Amakashi hill, with nobody about.
constexpr std::string_view kMansionEmpty = "蘇我の屋敷だが、誰もいないようだな。";

constexpr std::array kTable = {
    // ── The empress on Shoan ────────────────────────────────────────
    on(57, Command1).to(58).say(prince, L0, "母上は、南淵請安という人をご存じですか。"),
    on(58, Command2).to(59).say(mother, L0, "ええ、知っていますよ。"),
    on(59, Command1).to(60)
        .say(prince, L0, "請安どのは学識豊かな、並々ならぬ人物です。", "これからは、何かと相談しようと思っております。"),
    on(60, Command2).to(61).say(mother, L0, "立派な方です。学べることはすべて学びなさい。"),
    on(61, Command1).to(62).say(prince, L0, "はい。それに、蘇我を倒すためにも。").clear(L1),

    // ── The empress on the Soga ─────────────────────────────────────
    on(62, Command2).to(63).say(mother, L0, "これ、そのようなことを軽々しく口にしてはなりません。"),
    on(63, Command1).to(64).say(prince, L0, "しかし母上、蘇我の横暴はもはや見過ごせません。"),
    on(64, Command2).to(65)
        .say(mother, L0, "行き過ぎはあるかもしれません。けれど、今日まで",
             "この国を安らかに保ってきた蘇我の功は認めねばなりませんよ。"),
    on(65, Command1).to(66)
        .say(prince, L0,
             "蘇我は朝廷の民を勝手に駆り出して、自らを葬るために",
             "大陵・小陵と呼ばせる二つの大きな墓を造り、",
             "甘橿の丘には上の宮門・谷の宮門という大きな屋敷を構え、",
             "あまつさえ子らを王子と呼ばせているではありませんか。"),
    on(66, Command2).to(67).say(mother, L0, "…………").clear(L1),
    on(67, Command1).to(68)
        .say(prince, L0,
             "しかも蝦夷は誰にも諮らず、息子の入鹿に紫冠を授け、",
             "大臣の位まで譲ったと聞きます。冠位十二階を",
             "ないがしろにし、皇室を軽んじる振る舞いではありませんか。")
        .clear(L3),
    on(68, Command2).to(69)
        .say(mother, L0,
             "そなたは何もわかっていませんね。蘇我の紫冠は、",
             "蘇我の本家が代々かぶり、大臣の位を示すもの。",
             "ちょうど中臣の錦冠と同じようなものです。",
             "冠位十二階の徳冠とは関わりがありません。十二階の冠は、",
             "亡き聖徳太子と蘇我が授け手となり、諸氏に与えるものでした。")
        .trailer(mother, "つまり、蘇我は別格なのです。"),
    on(69, Command1).to(70)
        .say(prince, L0, "そ、それは……。ですが、蘇我だけが別格というのは、", "私にはどうしても納得できません。")
        .clear(L2),
    on(70, Command2).to(71)
        .say(mother, L0,
             "そなたの言い分にも理はあります。十二階の冠を受けず、",
             "諸氏族の上に超然と立ち、皇室の権威と",
             "肩を並べようとするのは、一氏族の分を越えたこと。",
             "その点は、確かに責められねばなりません。")
        .clear(L4)
        .clear_trailer(),
    on(71, Command1).to(72).say(prince, L0, lines::kISee).clear(L1),
    on(72, Command2).to(73)
        .say(mother, L0, "けれど今は、突き進む蘇我を止められる者は誰もいません。")
        .clear(L1, L2, L3),
    on(73, Command1).to(74).say(prince, L0, lines::kIndeed),
    on(74, Command2).to(75).say(mother, L0, "だからこそ、そなたがしっかりせねばならないのですよ。"),
    on(75, Command1).to(76).say(prince, L0, "私が、ですか？"),
    on(76, Command2).to(77).say(mother, L0, "そうです。そなたが、です。"),
    on(77, Command1).to(78).say(prince, L0, "……"),
    on(78, Command2).to(79).show(Command3).hide(Command1, Command2).say(mother, L0, "…………"),

    // ── Looking for Kamatari ────────────────────────────────────────
    on(79, Command3).to(80).show(Command5, Command6, Command7),
    on(80, Command5).to(79).show(Command3).hide(Command1).picture("hou.bmp").text(prince, lines::kKamatariAway),
    on(80, Command6).to(79).show(Command3).hide(Command1).picture("sh.bmp").text(prince, lines::kShoanOut),
    on(80, Command7).to(81).show(Command3).hide(Command1).picture("ama.bmp").text(prince, kMansionEmpty),
    on(81, Command3).to(82).show(Command4, Command5, Command6),
    on(82, Command4).to(81).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(82, Command5).to(83).picture("houka.bmp").text(kamatari, lines::kOhHighness),
    on(82, Command6).to(81).show(Command3).hide(Command1).picture("sh.bmp").text(prince, lines::kShoanOut),

    // ── Kamatari speaks of Prince Karu ──────────────────────────────
    on(83, Command1).to(84).say(prince, L0, "鎌足、請安どのに会ってきたぞ。"),
    on(84, Command2).to(85).say(kamatari, L0, "さようでございましたか。"),
    on(85, Command1).to(86).say(prince, L0, "請安どのは、なかなかの人物だな。"),
    on(86, Command2).to(87).say(kamatari, L0, "請安先生は、きっとみこ様のお力となりましょう。"),
    on(87, Command1).to(88).say(prince, L0, "そうであればよいが。"),
    on(88, Command2).to(89).say(kamatari, L0, "内々に申し上げますが、軽皇子様のもとにも出入りしております。"),
    on(89, Command1).to(90).say(prince, L0, "なに、おじ上を知っているのか。"),
    on(90, Command2).to(91)
        .say(kamatari, L0,
             "軽皇子様が足を痛められた折、お見舞いに上がって以来の",
             "ご縁でございます。軽皇子様もひとかどのお方、",
             "ぜひともお力添えをお頼みなさいませ。"),
    on(91, Command1).to(92)
        .say(prince, L0, "おじ上はなかなかの野心家だ。山背大兄王の一件にも", "裏で手を貸していたという噂もあるぞ。"),
    on(92, Command2).to(93).say(kamatari, L0, "ともかく、一度お訪ねになってはいかがでしょう。").clear(L1, L2),
    on(93, Command1).to(94).say(prince, L0, "一度会って、じかに話してみるとしよう。").clear(L1),
    on(94, Command2).to(95).show(Command3).hide(Command1, Command2).say(kamatari, L0, lines::kUntilLater),

    // ── To uncle Karu's house ───────────────────────────────────────
    on(95, Command3).to(96).show(Command4, Command6, Command7, Command8),
    on(96, Command4).to(95).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(96, Command6).to(95).show(Command3).hide(Command1).picture("sh.bmp").text(prince, lines::kShoanOut),
    on(96, Command7).to(95).show(Command3).hide(Command1).picture("ama.bmp").text(prince, kMansionEmpty),
    on(96, Command8).to(97).picture("karu.bmp").text(karu, "中大兄ではないか。珍しいこともあるものよ。"),
    on(97, Command1).to(98).say(prince, L0, "おじ上には、ご機嫌うるわしく何よりに存じます。"),
    on(98, Command2).to(99).say(karu, L0, "そなたも息災で何よりだ。", "して、そなたの母君もお変わりないかな？"),
    on(99, Command1).to(100).say(prince, L0, "はい、母も変わりなく過ごしております。"),
    on(100, Command2).to(101)
        .say(karu, L0,
             "それは結構。近いうちに、こちらから",
             "ご機嫌伺いに参ろうと思っていたところだ。",
             "で、今日はまた何の用でわしを訪ねてきたのかな？"),
};
static_assert(check_stretch(kTable, {{57, 100}}));

}  // namespace

std::span<const Rule> counsel() { return kTable; }

}  // namespace suirei::script

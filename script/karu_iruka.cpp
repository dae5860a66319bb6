// Uncle Karu shows his hand, Iruka names his patron on Amakashi hill, and
// back at the palace the empress hands on Iruka's invitation to a banquet.
#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {
namespace {

constexpr std::array kTable = {
    // ── Uncle Karu: the throne is his aim ──────────────────────────
    on(101, Command1).to(102).say(prince, L0, "おじ上、回りくどい話は抜きにしよう。"),
    on(102, Command2).to(103).say(karu, L0, "うむ、申してみよ。").clear(L1, L2),
    on(103, Command1).to(104).say(prince, L0, "蘇我を倒すことについて、相談に参ったのだ。"),
    on(104, Command2).to(105).say(karu, L0, "わっはっはっは！　これは面白い。"),
    on(105, Command1).to(106).say(prince, L0, "……？"),
    on(106, Command2).to(107)
        .say(karu, L0, "中大兄も、いつの間にか大人になったものだ。", "そなたなりに、国の大事を憂えておるのだな。"),
    on(107, Command1).to(108).say(prince, L0, "むろんだ。"),
    on(108, Command2).to(109)
        .say(karu, L0, "蘇我を倒すことは、わしの願いでもある。", "だが、わしにはもう一つ狙いがあってな。"),
    on(109, Command1).to(110).say(prince, L0, "もう一つの狙い、とは？"),
    on(110, Command2).to(111).say(karu, L0, "すなわち、皇位の継承よ。").clear(L1),
    on(111, Command1).to(112).say(prince, L0, "なんと！"),
    on(112, Command2).to(113)
        .say(karu, L0, "わしは今の天皇の弟だぞ。", "皇位をうかがうのも、当然の成り行きであろう。"),
    on(113, Command1).to(114).say(prince, L0, "それはそうだが……"),
    on(114, Command2).to(115).say(karu, L0, "ところで中大兄、誰の差し金でここへ来た？").clear(L1),
    on(115, Command1).to(116).say(prince, L0, "中臣鎌足だ。"),
    on(116, Command2).to(117)
        .say(karu, L0, "やはりな。鎌足め、なかなか抜け目のない男よ。", "わしとそなたの両方に賭けておるのだ。"),
    on(117, Command1).to(118).say(prince, L0, "おじ上、一つ聞いてもよいか。"),
    on(118, Command2).to(119).say(karu, L0, "何かな？").clear(L1),
    on(119, Command1).to(120)
        .say(prince, L0, "蘇我が山背大兄王を攻めた折、おじ上も", "加勢したと聞いた。なぜそのようなことを？"),
    on(120, Command2).to(121)
        .say(karu, L0, "山背大兄王は、わしが皇位に就くには邪魔でな。", "蘇我と利害が一致したゆえ、手を貸したまでよ。"),
    on(121, Command1).to(122).say(prince, L0, "……。").clear(L1),
    on(122, Command2).to(123)
        .say(karu, L0,
             "きれいごとだけで、政はできぬ。",
             "時には、力ずくで事を運ばねばならんのだ。",
             "わしが天皇になりたいのも、",
             "己の欲のためではないぞ。",
             "ひとえに、この国を思えばこそよ。"),
    on(123, Command1).to(124)
        .say(prince, L0, "そのようなやり方では、後の世にそしられ、", "臣下の心も離れてしまうではないか。"),
    on(124, Command2).to(125)
        .say(karu, L0,
             "中大兄よ、勝った者が常に正しいのだ。",
             "蘇我がこのまま権勢を保てば、英雄として語り継がれよう。",
             "だが滅びれば、勝った者が事実をねじ曲げ、",
             "蘇我を悪者に仕立て上げるであろう。",
             "要は勝つことよ。手段など選んではおれぬ。"),
    on(125, Command1).to(126).say(prince, L0, "……おじ上は、恐ろしいお方だ。").clear(L1),
    on(126, Command2).to(127).show(Command3).hide(Command1, Command2)
        .say(karu, L0, "ふはは、そう怖い顔をするな。また会おうぞ、中大兄。")
        .clear(L1, L2, L3, L4),

    // ── From the uncle's house: Amakashi hill ─────────────────────
    on(127, Command3).to(128).show(Command4, Command5, Command6, Command7),
    on(128, Command4).to(127).show(Command3).hide(Command1).picture("kou.bmp").text(mother, lines::kOutTooMuch),
    on(128, Command5).to(127).show(Command3).hide(Command1).picture("hou.bmp").text(prince, lines::kKamatariAway),
    on(128, Command6).to(127).show(Command3).hide(Command1).picture("sh.bmp").text(prince, lines::kShoanOut),
    on(128, Command7).to(129).picture("amai.bmp").text(iruka, "これは皇子様。わざわざ甘橿の丘までお運びとは。"),

    // ── Iruka on Amakashi hill ───────────────────────────────────────
    on(129, Command1).to(130).say(prince, L0, "入鹿どの、息災のようだな。"),
    on(130, Command2).to(131)
        .say(iruka, L0, "おかげさまで。皇子様もお健やかなご様子、祝着に存じます。", "して、この入鹿に何かご用でも？"),
    on(131, Command1).to(132).say(prince, L0, "いや、ただ歩いていただけだ。"),
    on(132, Command2).to(133)
        .say(iruka, L0, "前々から、皇子様とは一度", "ゆっくりお話ししたいと思うておりました。"),
    on(133, Command1).to(134).say(prince, L0, "たとえば、どのような話だ？"),
    on(134, Command2).to(135).say(iruka, L0, "それはもう、この国の先々についてでございます。").clear(L1),
    on(135, Command1).to(136).say(prince, L0, "今のままで、この国は安泰だと思うか？"),
    on(136, Command2).to(137).say(iruka, L0, "今のまま、とは？　どういう意味でございましょう。"),
    on(137, Command1).to(138).say(prince, L0, "それは、入鹿どのの方がよくわかっているはずだ。"),
    on(138, Command2).to(139).say(iruka, L0, "ふう……皇子様は、私を誤解しておられる。"),
    on(139, Command1).to(140).say(prince, L0, "誤解だと？"),
    on(140, Command2).to(141)
        .say(iruka, L0,
             "朝廷での私の評判が芳しくないことは、",
             "よく存じております。",
             "上に立つ者の宿命と思うて、耐えてもおりますが、",
             "皇子様ほどのお方にまでそう思われては、",
             "私の立つ瀬がございませぬ。無念でなりませぬ。"),
    on(141, Command1).to(142)
        .say(prince, L0, "どう言い訳しようと、山背大兄王をはじめ、", "上宮王家を滅ぼしたことは否めまい。"),
    on(142, Command2).to(143)
        .say(iruka, L0,
             "あれは、権力を握ったばかりの若気の至り。",
             "私もどうかしておりました。",
             "父にも叱られ、今は悔いております。",
             "されど、先に討たれるのではという恐れが、",
             "どうにも抑えきれなかったのです。お恥ずかしい。"),
    on(143, Command1).to(144).say(prince, L0, "何も、そこまですることはなかったではないか。").clear(L1),
    on(144, Command2).to(145)
        .say(iruka, L0, "仰せのとおり。ですが、私には後ろ盾となる方がおり、", "その方の勧めに従ったまでなのです。")
        .clear(L2, L3, L4),
    on(145, Command1).to(146).say(prince, L0, "それは誰だ？"),
    on(146, Command2).to(147).say(iruka, L0, "そ、それは……申し上げられませぬ。").clear(L1),
    on(147, Command1).to(148).say(prince, L0, "誤解を解きたいのなら、申してみよ。"),
    on(148, Command2).to(149).say(iruka, L0, "……軽皇子様でございます。"),
    on(149, Command1).to(150)
        .say(prince, L0, "おじ上は手を貸したばかりか、けしかけたのか。", "あの方の底知れなさには、背筋が寒くなる。"),
    on(150, Command2).to(151).show(Command3).hide(Command1, Command2)
        .say(iruka, L0,
             "軽皇子様のお言葉で迷いが消えたとはいえ、",
             "首謀者は、この入鹿にほかなりませぬ。",
             "罪を償うためにも、政に力を尽くし、",
             "この国の安泰を守ってゆく所存でございます。"),

    // ── Back to the palace ─────────────────────────────────────────
    on(151, Command3).to(152).show(Command4, Command5, Command6, Command8),
    on(152, Command4).to(153).picture("kou.bmp").text(mother, "戻りましたか。どこへ出かけていたのです？"),
    on(152, Command5).to(151).show(Command3).hide(Command1).picture("hou.bmp").text(prince, lines::kKamatariAway),
    on(152, Command6).to(151).show(Command3).hide(Command1).picture("sh.bmp").text(prince, lines::kShoanOut),
    on(152, Command8).to(151).show(Command3).hide(Command1).picture("ka.bmp").text(prince, lines::kUncleOut),

    // ── The empress passes on Iruka's invitation ─────────────────────
    on(153, Command1).to(154).say(prince, L0, "母上、外はまことによい天気です。").clear(L1),
    on(154, Command2).to(155)
        .say(mother, L0,
             "ほんに、風に乗って花の香りがこの宮にまで届きますね。",
             "ところで、先ほど蘇我入鹿の使いが来ましたよ。",
             "今宵、蘇我の屋敷で宴を催すそうです。",
             "そなたにぜひ来てほしいとのこと。どうしますか？"),
    on(155, Command1).to(156).show(Command10, Command11).hide(Command1, Command2)
        .say(prince, L0, "ふむ、入鹿どのの宴か……")
        .clear(L1)
        .choice("１　出席する　　２　断る"),
    on(156, Command10).to(301).text(prince, "お受けしましょう。入鹿どのとじっくり話すのも悪くありません。"),
    on(156, Command11).to(157).text(prince, "いえ、今は控えます。妙な噂が立っては困りますゆえ。"),
};
static_assert(kTable.size() == 63);
static_assert(check_stretch(kTable, {{101, 156}}));

}  // namespace

std::span<const Rule> karu_iruka() { return kTable; }

}  // namespace suirei::script

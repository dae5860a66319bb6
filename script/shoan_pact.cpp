// After turning down Iruka's banquet the prince seeks out Shoan, is won over
// to the plot, and joins his uncle Karu at the price of a Soga bride.
#include "shoan_pact.hpp"
#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {
namespace {

// The prince turns his uncle down, at either of the uncle's two asks.
constexpr std::string_view kRefuseUncle = "やはり、おじ上とは手を組めぬ。";

// ── To Shoan's house ─────────────────────────────────────────────
constexpr std::array kToShoan = {
    on(157, Command3).to(158).show(Command5, Command6, Command7, Command8),
    on(158, Command5).to(157).show(Command3).hide(Command1).picture("hou.bmp").text(prince, "鎌足の姿は見えぬな。"),
    // Shoan's house, the right place, opens kShoanCounsel.
    on(158, Command7).to(157).show(Command3).hide(Command1).picture("ama.bmp").text(prince, lines::kIrukaHome),
    on(158, Command8).to(157).show(Command3).hide(Command1).picture("ka.bmp").text(prince, lines::kUncleOut),
};

// ── To uncle Karu's house ────────────────────────────────────────
constexpr std::array kToKaru = {
    on(181, Command3).to(182).show(Command4, Command5, Command7, Command8),
};

// ── The uncle's bargain and the prince's first answer ───────────
constexpr std::array kBargain = {
    on(188, Command2).to(189).say(karu, L0, kUnclePromise),
    on(189, Command1).to(190).show(Command10, Command11).hide(Command1, Command2)
        .say(prince, L0, "（野心家のおじ上と、手を組むべきか……）")
        .clear(L1)
        .choice("１　断る　　　２　承諾する"),
    on(190, Command10).to(401).show(Command1).hide(Command3).text(prince, kRefuseUncle),
    on(190, Command11).to(191).show(Command1).hide(Command3).text(prince, "よかろう。おじ上に力を貸そう。"),
};

// ── The marriage, and the second answer ──────────────────────────
constexpr std::array kMarriage = {
    on(193, Command1).to(194).show(Command10, Command11).hide(Command1, Command2)
        .say(prince, L0, "（政のための縁組、というわけか……）")
        .clear(L1)
        .choice("１　承諾する　　２　断る"),
    on(194, Command10).to(195).show(Command1).hide(Command3).text(prince, "承知した。石川麻呂どのの娘を妻に迎えよう。"),
    on(194, Command11).to(401).show(Command1).hide(Command3).text(prince, kRefuseUncle),
    on(195, Command1).to(196).say(prince, L0, "そうなれば、事はずっと運びやすくなるな。").clear(L1, L2),
};

constexpr auto kTable = concat(kToShoan, kShoanCounsel, kToKaru, kKaruWaits, kBargain, kKaruTest, kMarriage, kKaruAllies);
static_assert(kTable.size() == 52);
static_assert(check_stretch(kTable, {{157, 200}}));

}  // namespace

std::span<const Rule> shoan_pact() { return kTable; }

}  // namespace suirei::script

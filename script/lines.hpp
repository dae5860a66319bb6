// Stock lines: texts that recur in several rules of the story, word for word.
// Each is written here once; every rule that speaks it refers to it by name.
#pragma once

#include <string_view>

namespace suirei::script::lines {

// The empress, whenever the prince drops in at the palace without cause.
inline constexpr std::string_view kOutTooMuch = "あまり外出ばかりしていてはいけませんよ。";

// The prince at an empty Hokoji.
inline constexpr std::string_view kKamatariAway = "鎌足はいないようだ。どこへ行ったのかな？";

// The prince at Shoan's closed gate.
inline constexpr std::string_view kShoanOut = "請安どのは留守のようだな。";

// The prince at his uncle's empty house.
inline constexpr std::string_view kUncleOut = "おじ上は留守のようだな。";

// Kamatari, finding the prince at Hokoji.
inline constexpr std::string_view kOhHighness = "おや、みこ様。";

// The prince below the Soga mansion, once the plot is under way. The first
// sentence alone is what he says before he has made up his mind.
inline constexpr std::string_view kIrukaHome = "入鹿どのはいようだな。";
inline constexpr std::string_view kIrukaHomeNotNow = "入鹿どのはいようだな。もっとも、今は入鹿どのに会うべきではないが。";

inline constexpr std::string_view kISee = "なるほど。";
inline constexpr std::string_view kIndeed = "確かに。";

// Kamatari's farewell.
inline constexpr std::string_view kUntilLater = "では、いずれまた。";

// The days of preparation before the tribute ceremony.
inline constexpr std::string_view kDaysOfPlanning = "何度も、蘇我入鹿暗殺計画を慎重に練り直し、確認する日々が続いた。";

// Ishikawamaro begins to read the envoys' memorial.
inline constexpr std::string_view kTributeReading = "ここに貢ぎ物を・・・・";

// End markers: four dots a side for the main route, three for the others.
inline constexpr std::string_view kTheEndMain = "・・・・完・・・・";
inline constexpr std::string_view kTheEnd = "・・・完・・・";

}  // namespace suirei::script::lines

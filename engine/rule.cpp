#include "rule.hpp"

#include <cstdlib>

namespace suirei {

std::string_view speaker_name(Speaker s) {
    switch (s) {
    case Speaker::none: return "";
    case Speaker::narration: return "語り";
    case Speaker::prince: return "中大兄皇子";
    case Speaker::mother: return "皇極天皇";
    case Speaker::ball_player: return "蹴鞠の者";
    case Speaker::kamatari: return "中臣鎌足";
    case Speaker::shoan: return "南淵請安";
    case Speaker::karu: return "軽皇子";
    case Speaker::iruka: return "蘇我入鹿";
    case Speaker::ishikawamaro: return "蘇我倉山田石川麻呂";
    case Speaker::komaro: return "佐伯子麻呂";
    case Speaker::choice: return "選択";
    }
    return "";
}

// Rule building only ever "calls" this while evaluating a constant
// expression, where the call itself is the error. It is never reached at run
// time.
void Rule::rule_has_too_many_actions() { std::abort(); }

}  // namespace suirei

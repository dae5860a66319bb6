#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {

std::span<const Rule> prologue() { return {}; }

}  // namespace suirei::script

namespace suirei::script {

const Script::Opening kOpening = {
    "時は七世紀半ば、皇極天皇の御代。",
    "平和なこの飛鳥の地で、",
    "皇位の継承をめぐる争いがあった。",
};

}  // namespace suirei::script

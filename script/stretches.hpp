// The whole story, one stretch per source file, assembled into the rule lists
// the engine runs.
#pragma once

#include <span>

#include "rule.hpp"
#include "script.hpp"

namespace suirei::script {

// The three narration lines of the opening page that start-up shows.
extern const Script::Opening kOpening;

std::span<const Rule> prologue();    // 1–56, 259–265: the first meetings
std::span<const Rule> counsel();     // 57–100: the mother's counsel, the visit to Karu
std::span<const Rule> karu_iruka();  // 101–156: uncle Karu, Iruka, the banquet invitation
std::span<const Rule> shoan_pact();  // 157–200: Shoan's counsel and the uncle's pact
std::span<const Rule> coup();        // 201–242: the plan, the coup, the reforms
std::span<const Rule> banquet();     // 301–389: the banquet route and the arrest
std::span<const Rule> refusal();     // 401–435, 501–505: the refusal, the rash attack, the failed coup

}  // namespace suirei::script

namespace suirei {

// The story as the game plays it.
const Script& story();

}  // namespace suirei

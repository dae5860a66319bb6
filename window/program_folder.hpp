// The game reads its pictures by bare name from the current directory, and
// the current directory is the program's own folder, wherever the player
// started it from.
#pragma once

namespace suirei {

// Makes the folder holding the running program the current directory and
// tells the picture messages its name. Throws GameError, naming the folder
// and the reason, when it cannot be found or entered.
void enterProgramFolder();

}  // namespace suirei

#pragma once

// The game's side of start-up: the engine calls ConfigureApplication before
// its window exists and RunGame, the main loop, once its layers are up.
void ConfigureApplication();
void RunGame();

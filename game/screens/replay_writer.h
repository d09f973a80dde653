#pragma once
// The result screen's replay save: the battle that has just ended, with its
// winner's best combo, written under the name the battle's end chose.

// Does nothing during a playback; sets resultScreen.replaySaved only when
// the whole file was written.
void WriteReplayFile();

#include "engine/core/application.h"
#include "game/flow/game_start.h"
#include "platform/system.h"

int main() {
    platform::InstallQuitSignalHandlers();
    return EngineMain(ConfigureApplication, RunGame);
}

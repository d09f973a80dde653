#include <cstdlib>
#include <cstring>

#include "engine/startup/engine_main.h"
#include "game/start/game_start.h"
#include "platform/system.h"

namespace {

// The game switches the start-up console off; a developer run switches it
// back on with AERIAL_STARTUP_CONSOLE=1.
void Configure() {
    ConfigureApplication();
    const char* console = std::getenv("AERIAL_STARTUP_CONSOLE");
    if (console && std::strcmp(console, "1") == 0) SetStartupConsole(1);
}

}  // namespace

int main() {
    platform::InstallQuitSignalHandlers();
    return EngineMain(Configure, RunGame);
}

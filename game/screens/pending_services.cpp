#include "game/screens/pending_services.h"

#include "game/flow/game_start.h"
#include "game/flow/save_files.h"

int32_t rankingPlace = RANKING_NOT_ENTERED;
int32_t animationNextScene = SCENE_TITLE;

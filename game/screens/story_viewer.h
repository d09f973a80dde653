#pragma once
// The story viewer (scene 14): one character's story as picture pages over
// that character's darkened background. The extra menu leaves the character
// (1 to 7) in extraItem; leaving returns to the title menu.
#include <cstdint>
#include <string>

enum StoryState : int32_t {
    STORY_BACKGROUND = 5,  // the background alone
    STORY_PAGES = 10,
    STORY_LEAVING = 90,
};

extern int32_t storyState;
extern int32_t storyPage;
extern int32_t storyLastPage;
extern float storyDimAlpha;   // darkening of the background, 0..1
extern float storyPageAlpha;  // fade of the current page, 0..1
// Puts the viewer's state back as it is at program start; its page and
// background are forgotten, not released (the device lists free them).
void ResetStoryViewerState();

// The highest page of character `id`'s story; -1 for an id without one.
int32_t StoryLastPage(int32_t id);
// The archive key of page p of character id's story ("st_kirune_07").
std::string StoryPageKey(int32_t id, int32_t page);

void RunStoryScene();

#include "engine/devices/media_directshow.h"

#include "engine/core/log.h"

namespace {

constexpr MediaRoute kDirectShowRoutes[] = {
    {1, MediaArgument::Block}, {MEDIA_RELEASE}, {2, MediaArgument::Word}, {MEDIA_NOTHING},
    {3},                       {5},             {6, MediaArgument::Word}, {7, MediaArgument::Word},
    {8, MediaArgument::Word},
};

// The operation a finished play without looping calls.
constexpr int kPlayFinishedOperation = 3;

void TakeGraphEvents(DirectShowObject& object) {
    int32_t code = 0;
    while (object.graph->TakeEvent(&code)) {
        if (code != platform::EC_COMPLETE) continue;
        object.graph->SeekTo(object.startPosition);
        if (object.loops) {
            object.graph->Run();
        } else {
            object.Perform(kPlayFinishedOperation, nullptr, 0);
        }
    }
}

}  // namespace

MediaCommandLayer directShowLayer(kDirectShowRoutes, DIRECTSHOW_CMD_QUIT);

int InitializeDirectShow() {
    WriteLog("\n============================================== Initialize DirectShow(Audio)\n");
    directShowLayer.Start(nullptr, nullptr);
    return 1;
}

void DestroyDirectShow() {
    WriteLog("\n============================================== Destroy DirectShow(Audio)\n");
    directShowLayer.Stop();
}

void PostDirectShowCommand(const MediaCommand* command) { directShowLayer.Post(*command); }

void HandleDirectShowEvent() {
    if (!directShowLayer.IsRunning()) return;
    std::lock_guard guard(directShowLayer.lock);
    for (ResourceObject* node = directShowLayer.objects.GetHead(); node;) {
        ResourceObject* next = node->next;
        auto* object = dynamic_cast<DirectShowObject*>(node);
        if (object && object->active && object->graph) TakeGraphEvents(*object);
        node = next;
    }
}

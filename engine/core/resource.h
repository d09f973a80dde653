#pragma once
#include <cstdint>

class ResourceList;

// Loading-progress callback that every creation function takes (null = none);
// it is called with 0 between the steps so a loading screen can animate.
using ProgressCallback = void (*)(int);

inline void ReportProgress(ProgressCallback progress) {
    if (progress) progress(0);
}

// Base of every engine resource: reference counted, and linked into the list
// of its kind so the engine can walk all objects of a kind (device reset,
// shut-down). Deleting an object always unlinks it.
class ResourceObject {
public:
    ResourceObject() = default;
    ResourceObject(const ResourceObject&) = delete;
    ResourceObject& operator=(const ResourceObject&) = delete;
    virtual ~ResourceObject();

    // Drops one reference; deletes the object when none is left. Returns the
    // new count, so 0 exactly when the object was deleted.
    int32_t Release();
    void AddRef() { ++refCount; }

    int32_t refCount = 1;
    ResourceList* ownerList = nullptr;
    ResourceObject* prev = nullptr;
    ResourceObject* next = nullptr;
};

// Intrusive doubly linked list of resource objects. The list holds no
// reference of its own; ReleaseAll releases one on behalf of the holders.
class ResourceList {
public:
    ResourceList() = default;
    ResourceList(const ResourceList&) = delete;
    ResourceList& operator=(const ResourceList&) = delete;
    ~ResourceList() { ReleaseAll(); }

    // Forgets every node without touching it (engine start-up).
    void Reset();
    ResourceObject* GetHead() const { return head; }
    int32_t GetCount() const { return count; }
    ResourceObject* GetAt(int index) const;
    // Both move a node that sits on another list.
    void PushFront(ResourceObject* node);
    int32_t PushBack(ResourceObject* node);
    int32_t Remove(ResourceObject* node);
    // Detaches the head and releases it until the list is empty, so a release
    // that deletes further nodes of this list cannot break the walk, and a node
    // that survives (another holder still has it) is left unlinked.
    void ReleaseAll();

    ResourceObject* head = nullptr;
    ResourceObject* tail = nullptr;
    int32_t count = 0;
};

// Calls fn on every object of the list as a T, head first.
template <typename T, typename Fn>
void ForEachResource(const ResourceList& list, Fn fn) {
    for (ResourceObject* o = list.GetHead(); o; o = o->next) fn(static_cast<T*>(o));
}

// Gives up the holder's reference, if any, and clears the pointer.
template <typename T>
void ReleaseResource(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

#include "engine/core/resource.h"

ResourceObject::~ResourceObject() {
    if (ownerList) ownerList->Remove(this);
}

int32_t ResourceObject::Release() {
    int32_t left = --refCount;
    if (left == 0) delete this;
    return left;
}

void ResourceList::Reset() {
    head = tail = nullptr;
    count = 0;
}

ResourceObject* ResourceList::GetAt(int index) const {
    if (index < 0) return nullptr;
    ResourceObject* node = head;
    while (node && index-- > 0) node = node->next;
    return node;
}

void ResourceList::PushFront(ResourceObject* node) {
    if (node->ownerList) node->ownerList->Remove(node);
    node->ownerList = this;
    node->prev = nullptr;
    node->next = head;
    if (head) head->prev = node;
    else tail = node;
    head = node;
    ++count;
}

int32_t ResourceList::PushBack(ResourceObject* node) {
    if (node->ownerList) node->ownerList->Remove(node);
    node->ownerList = this;
    node->next = nullptr;
    node->prev = tail;
    if (tail) tail->next = node;
    else head = node;
    tail = node;
    return ++count;
}

int32_t ResourceList::Remove(ResourceObject* node) {
    if (node->prev) node->prev->next = node->next;
    else head = node->next;
    if (node->next) node->next->prev = node->prev;
    else tail = node->prev;
    node->ownerList = nullptr;
    node->prev = node->next = nullptr;
    return --count;
}

void ResourceList::ReleaseAll() {
    while (ResourceObject* node = head) {
        Remove(node);
        node->Release();
    }
}

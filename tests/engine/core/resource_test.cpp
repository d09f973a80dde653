#include "engine/core/resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A resource that records its deletion and may hold a reference to another.
struct Tracked : ResourceObject {
    Tracked(std::vector<int>* log, int id) : log(log), id(id) {}
    ~Tracked() override {
        log->push_back(id);
        if (held) held->Release();
    }
    std::vector<int>* log;
    int id;
    ResourceObject* held = nullptr;
};

struct ResourceListTest : ::testing::Test {
    std::vector<int> deleted;
    ResourceList list;
    Tracked* Make(int id, ResourceList& into) {
        auto* t = new Tracked(&deleted, id);
        into.PushBack(t);
        return t;
    }
    std::vector<int> Ids(const ResourceList& l) {
        std::vector<int> ids;
        for (ResourceObject* n = l.GetHead(); n; n = n->next) ids.push_back(static_cast<Tracked*>(n)->id);
        return ids;
    }
};

TEST_F(ResourceListTest, PushFrontAndBackKeepOrderAndCount) {
    Make(2, list);
    Make(3, list);
    auto* first = new Tracked(&deleted, 1);
    list.PushFront(first);
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(0), first);
    EXPECT_EQ(list.GetAt(3), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(static_cast<Tracked*>(list.tail)->id, 3);
}

TEST_F(ResourceListTest, PushBackMovesANodeBetweenLists) {
    ResourceList other;
    Tracked* moving = Make(1, list);
    Make(2, list);
    EXPECT_EQ(other.PushBack(moving), 1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(Ids(list), (std::vector<int>{2}));
    EXPECT_EQ(moving->ownerList, &other);
    EXPECT_EQ(list.head, list.tail);
    EXPECT_EQ(list.head->prev, nullptr);
}

TEST_F(ResourceListTest, RemoveFromHeadMiddleAndTail) {
    Tracked* a = Make(1, list);
    Tracked* b = Make(2, list);
    Tracked* c = Make(3, list);
    Tracked* d = Make(4, list);
    list.Remove(b);
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 3, 4}));
    list.Remove(d);
    EXPECT_EQ(list.tail, c);
    EXPECT_EQ(c->next, nullptr);
    list.Remove(a);
    EXPECT_EQ(list.head, c);
    EXPECT_EQ(c->prev, nullptr);
    EXPECT_EQ(list.Remove(c), 0);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    for (Tracked* t : {a, b, c, d}) delete t;
}

TEST_F(ResourceListTest, ReleaseReturnsZeroExactlyWhenDeleted) {
    Tracked* only = Make(1, list);
    only->AddRef();
    EXPECT_EQ(only->Release(), 1);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(only->Release(), 0);
    EXPECT_EQ(deleted, (std::vector<int>{1}));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
}

TEST_F(ResourceListTest, ReleaseAllDeletesInOrderFromHead) {
    Make(1, list);
    Make(2, list);
    Make(3, list);
    list.ReleaseAll();
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(ResourceListTest, ReleaseAllSurvivesACascadeIntoTheSameList) {
    // Node 1 holds the only reference of node 2 (and node 2 of node 3): deleting
    // the head deletes its successors during the walk.
    Tracked* a = Make(1, list);
    Tracked* b = Make(2, list);
    Tracked* c = Make(3, list);
    Make(4, list);
    a->held = b;
    b->held = c;
    list.ReleaseAll();
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.head, nullptr);
}

TEST_F(ResourceListTest, ReleaseAllDetachesASurvivor) {
    Tracked* kept = Make(1, list);
    kept->AddRef();
    list.ReleaseAll();
    EXPECT_EQ(kept->ownerList, nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(kept->Release(), 0);  // must not touch the emptied list
    EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "Orv/render/render_lock.h"
#include "support/render_fixture.h"

namespace rendertest {
namespace {

std::vector<uintptr_t> g_drawn;
int32_t record(void*, uintptr_t user) {
  g_drawn.push_back(user);
  return 1;
}

class RenderListTest : public RenderTest {
 protected:
  // The user data of the nodes in draw order, as one frame draws them.
  std::vector<uintptr_t> frame() {
    g_drawn.clear();
    EXPECT_TRUE(render_frame_draw());
    return g_drawn;
  }
  OrvHandle insert(uintptr_t user, int32_t key) { return OrvRenderInsert(list, user, record, key); }
};

TEST_F(RenderListTest, EqualKeysDrawInInsertionOrderBehindSmallerKeys) {
  insert(1, 10);
  insert(2, 5);
  insert(3, 10);
  EXPECT_EQ(frame(), (std::vector<uintptr_t>{1, 3, 2}));
}

TEST_F(RenderListTest, MovingANodePassesEveryNodeOfItsNewKey) {
  struct Case {
    std::vector<int32_t> keys;
    size_t moved;
    int32_t new_key;
    std::vector<uintptr_t> order;  // user data = index + 1
  };
  const Case cases[] = {
      {{10, 5, 3}, 1, 20, {2, 1, 3}},       // towards the head
      {{10, 5, 3}, 2, 1, {1, 2, 3}},        // the tail stays the tail
      {{10, 5, 3}, 0, 1, {2, 3, 1}},        // the head goes to the tail
      {{10, 7, 7, 3}, 3, 7, {1, 4, 2, 3}},  // in front of the equal keys it joins
      {{10, 7, 7, 3}, 0, 7, {2, 3, 1, 4}},  // behind them when it comes from the head
      {{4}, 0, 99, {1}},
  };
  for (const Case& c : cases) {
    OrvRenderUninit(list);
    list = OrvRenderInit();
    OrvRenderSetActive(list);
    std::vector<OrvHandle> nodes;
    for (size_t i = 0; i < c.keys.size(); ++i) nodes.push_back(insert(i + 1, c.keys[i]));
    render_node_set_key(render_node_from(nodes[c.moved]), c.new_key);
    EXPECT_EQ(frame(), c.order) << "moving node " << c.moved << " to " << c.new_key;
  }
}

// The lookups that replace the walks must place nodes exactly where the walks did: a random
// run of inserts, inserts beside a node (which can break the key order), key moves and
// removals, with repeated user data, checked against a plain model of the walks.
TEST_F(RenderListTest, IndexedInsertsMovesAndRemovalsKeepTheWalkedOrder) {
  struct Model {
    uintptr_t user;
    int32_t key;
    OrvHandle node;
  };
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    OrvRenderUninit(list);
    list = OrvRenderInit();
    OrvRenderSetActive(list);
    std::vector<Model> model;
    auto first_of = [&](uintptr_t user) {
      return std::find_if(model.begin(), model.end(),
                          [&](const Model& m) { return m.user == user; });
    };
    for (int step = 0; step < 300; ++step) {
      uintptr_t user = 1 + rng() % 40;
      int32_t key = static_cast<int32_t>(rng() % 8);
      // Odd rounds insert beside nodes in place of key moves: a move on a list out of key
      // order only walks from where the node was, which the model does not follow.
      uint32_t op = rng() % 4;
      if (round % 2 && op == 2) op = 4;
      switch (op) {
        case 0:
        case 1: {
          auto pos = model.begin();
          while (pos != model.end() && pos->key >= key) ++pos;
          Model m{user, key, insert(user, key)};
          model.insert(pos, m);
          break;
        }
        case 2: {
          if (model.empty()) break;
          size_t i = rng() % model.size();
          Model m = model[i];
          if (m.key == key) break;
          render_node_set_key(render_node_from(m.node), key);
          model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
          bool grew = key > m.key;
          auto pos = model.begin();
          while (pos != model.end() && (grew ? pos->key > key : pos->key >= key)) ++pos;
          m.key = key;
          model.insert(pos, m);
          break;
        }
        case 3: {
          auto it = first_of(user);
          EXPECT_EQ(render_node_remove_locked(render_list_from(list), user), it != model.end());
          if (it != model.end()) model.erase(it);
          break;
        }
        case 4: {
          uintptr_t beside = 1 + rng() % 40;
          auto it = first_of(beside);
          Model m{user, key, OrvRenderInsertNext(list, user, record, key, beside)};
          model.insert(it, m);
          break;
        }
      }
      if (round % 2 == 0 || step % 50 == 0) {
        std::vector<uintptr_t> want;
        for (const Model& m : model) want.push_back(m.user);
        ASSERT_EQ(frame(), want) << "round " << round << " step " << step;
      }
    }
  }
}

TEST_F(RenderListTest, InsertNextAndRemoveByUserData) {
  insert(1, 10);
  insert(2, 5);
  insert(2, 1);
  OrvRenderInsertNext(list, 7, record, 0, 2);   // before the first node holding 2
  OrvRenderInsertNext(list, 8, record, 0, 99);  // nobody holds 99: at the tail
  EXPECT_EQ(frame(), (std::vector<uintptr_t>{1, 7, 2, 2, 8}));
  EXPECT_TRUE(render_node_remove_locked(render_list_active(), 2));
  EXPECT_EQ(frame(), (std::vector<uintptr_t>{1, 7, 2, 8}));
  EXPECT_FALSE(render_node_remove_locked(render_list_active(), 42));
}

int32_t g_once_calls = 0;
int32_t once(void*, uintptr_t) {
  ++g_once_calls;
  return 0;
}

TEST_F(RenderListTest, ACallbackReturningZeroIsDroppedAndTheNextNodeStillDraws) {
  g_once_calls = 0;
  OrvRenderInsert(list, 1, once, 10);
  insert(2, 5);
  EXPECT_EQ(frame(), (std::vector<uintptr_t>{2}));
  EXPECT_EQ(frame(), (std::vector<uintptr_t>{2}));
  EXPECT_EQ(g_once_calls, 1);
}

// A draw callback that releases sprites (and so their nodes) while the frame walks the list.
OrvHandle g_victims[2];
int32_t release_victims(void*, uintptr_t) {
  for (OrvHandle& v : g_victims) {
    OrvSpriteRelease(OrvRenderGetActive(), v);
    v = 0;
  }
  return 1;
}

TEST_F(RenderListTest, ReleasingSpritesFromADrawCallbackIsSafe) {
  OrvHandle front = solid(4, 4, 0xFF00FF00u, 0, 0, 1);
  OrvRenderInsert(list, 0, release_victims, 10);
  g_victims[0] = solid(4, 4, 0xFFFF0000u, 0, 0, 5);  // the node right after the callback
  g_victims[1] = front;
  int32_t before = OrvGetAllocCount();
  EXPECT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(0, 0), 0xFF000000u);    // neither released sprite was drawn
  EXPECT_LT(OrvGetAllocCount(), before);  // their nodes were freed after the walk
  EXPECT_TRUE(render_frame_draw());
}

TEST_F(RenderListTest, AFrameIsSkippedNotAwaitedWhileAnotherThreadHoldsTheRenderLock) {
  insert(1, 0);
  std::atomic<bool> held{false}, release{false};
  std::thread worker([&] {
    ASSERT_EQ(OrvRenderLockEnter(), 1);
    held = true;
    while (!release) std::this_thread::yield();
    OrvRenderLockLeave();
  });
  while (!held) std::this_thread::yield();
  g_drawn.clear();
  EXPECT_FALSE(render_frame_draw());
  EXPECT_TRUE(g_drawn.empty());
  EXPECT_EQ(OrvRenderLockIsBusy(), 1);
  EXPECT_EQ(OrvRenderGetState(), 1);
  release = true;
  worker.join();
  EXPECT_EQ(OrvRenderLockIsBusy(), 0);
  EXPECT_EQ(frame(), (std::vector<uintptr_t>{1}));
}

TEST_F(RenderListTest, LockCallsWithoutAnActiveListFailAndALeaveWithoutEnterIsHarmless) {
  OrvRenderSetActive(0);
  EXPECT_EQ(OrvRenderLockEnter(), 0);
  EXPECT_FALSE(render_lock_enter());
  EXPECT_EQ(OrvRenderLockLeave(), 0);
  EXPECT_EQ(OrvRenderGetState(), -1);
  EXPECT_EQ(OrvRenderLockIsBusy(), 1);
  EXPECT_FALSE(render_frame_draw());
  OrvRenderSetActive(list);
  // A leave on a thread that never entered must not unlock anything.
  EXPECT_EQ(OrvRenderLockLeave(), 1);
  EXPECT_TRUE(render_lock_enter());
  EXPECT_TRUE(render_lock_enter());  // re-entrant
  render_lock_leave();
  render_lock_leave();
  EXPECT_EQ(OrvRenderLockIsBusy(), 0);
  EXPECT_EQ(OrvRenderMainLock(5), 1);
  EXPECT_EQ(OrvRenderGetState(), 5);
  EXPECT_EQ(OrvRenderUnlock(), 1);
  EXPECT_EQ(OrvRenderLockWait(), 1);
}

TEST_F(RenderListTest, AnEmptyListShowsTheClearColourAndPresentFailureStopsFrames) {
  orv_core().render.clear_color = 0xFF123456u;
  EXPECT_TRUE(render_frame_draw());
  EXPECT_EQ(pixel(0, 0), 0xFF123456u);
  EXPECT_EQ(pixel(kW - 1, kH - 1), 0xFF123456u);
  orv_core().render.present = [](const uint32_t*, int32_t, int32_t) { return false; };
  EXPECT_TRUE(render_frame_draw());   // the failing present itself
  EXPECT_FALSE(render_frame_draw());  // and no frame after it
  orv_core().render.present = nullptr;
  render_present_restored();
  EXPECT_TRUE(render_frame_draw());
}

}  // namespace
}  // namespace rendertest

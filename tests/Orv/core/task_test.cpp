#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/core/handle_table.h"
#include "Orv/core/task.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/clock.h"

namespace {

// What the steps and end functions did, in order: "A" for a step of A, "~A" for its end.
std::vector<std::string> g_log;
uint32_t g_now = 0;
void (*g_on_first_step)() = nullptr;  // what the spawning task does on its first step

struct Probe {
  const char* name;
  int steps;
};

void log_step(void* data) {
  auto* p = static_cast<Probe*>(data);
  p->steps++;
  g_log.push_back(p->name);
}
void log_end(void* data) {
  g_log.push_back(std::string("~") + static_cast<Probe*>(data)->name);
}

// Logs like log_step and runs g_on_first_step on its first call.
void spawn_step(void* data) {
  log_step(data);
  OrvTaskChangeNext(log_step);
  if (g_on_first_step) g_on_first_step();
}

OrvHandle make(const char* name, uint32_t link, OrvHandle ref = 0, OrvTaskProc step = log_step,
               OrvTaskProc end = log_end) {
  void* data = nullptr;
  OrvHandle task = OrvTaskCreate(step, end, sizeof(Probe), &data, link, ref, name);
  if (task) static_cast<Probe*>(data)->name = name;
  return task;
}

class TaskTree : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    g_on_first_step = nullptr;
    g_now = 1000;
    platform::set_clock_source([] { return g_now; });
    orv_core().alive = true;
    allocs_ = OrvGetAllocCount();
    handles_ = orv_handles().live_count();
    ASSERT_TRUE(task_scheduler_create());
    ASSERT_FALSE(task_scheduler_create());  // one scheduler at a time
  }
  void TearDown() override {
    task_scheduler_destroy();
    EXPECT_EQ(OrvGetAllocCount(), allocs_) << "task data or records leaked";
    EXPECT_EQ(orv_handles().live_count(), handles_) << "task ids leaked";
    EXPECT_EQ(task_scheduler().task_count, 0);
    orv_core().alive = false;
    platform::set_clock_source(nullptr);
  }
  static TaskScheduler& task_scheduler() { return orv_core().services.tasks; }

  // One frame: the frame time moves on by advance ms, then the pass runs. Returns its log.
  std::string frame(uint32_t advance = 16) {
    g_now += advance;
    OrvUpdateTime();
    g_log.clear();
    TaskTreeRun();
    std::string out;
    for (const auto& entry : g_log) out += (out.empty() ? "" : " ") + entry;
    return out;
  }

  int32_t allocs_ = 0;
  uint32_t handles_ = 0;
};

TEST_F(TaskTree, LinkModesDecideWhereAndWhenANewTaskRuns) {
  // A's first step creates B right after itself, C as its first child, and D unlinked.
  g_on_first_step = [] {
    make("B", kTaskLinkAfter);
    make("C", kTaskLinkFirstChild);
    EXPECT_NE(make("D", 7), 0u);
  };
  make("A", kTaskLinkAfter, 0, spawn_step);
  EXPECT_EQ(frame(), "A B");    // B follows A in the same pass; the child waits
  EXPECT_EQ(frame(), "C A B");  // children run before their parent; D never runs
  EXPECT_EQ(task_scheduler().task_count, 4);
}

TEST_F(TaskTree, EndingRunsEndFunctionsDescendantsFirstOnceAndFreesEverything) {
  OrvHandle parent = make("P", kTaskLinkAfter);
  OrvHandle child = make("C", kTaskLinkFirstChild, parent);
  make("G", kTaskLinkFirstChild, child);
  make("S", kTaskLinkAfter, parent);  // a sibling that goes on
  int32_t allocs = OrvGetAllocCount();
  EXPECT_EQ(frame(), "G C P S");

  ASSERT_EQ(OrvTaskFree(parent), 1);
  EXPECT_EQ(OrvTaskGetState(child), 2);  // marked before any pass reached it
  EXPECT_EQ(frame(), "~G ~C ~P S");
  EXPECT_EQ(frame(), "S");
  EXPECT_EQ(task_scheduler().task_count, 1);
  EXPECT_EQ(OrvGetAllocCount(), allocs - 3);  // three data blocks
  int taken = 0;
  for (uint32_t i = 0; i < kTaskPoolCapacity; ++i) taken += task_scheduler().pool[i].taken;
  EXPECT_EQ(taken, 2);  // only S and its child-list head
  // The ended tasks' ids are dead.
  EXPECT_EQ(OrvTaskFree(parent), 0);
  EXPECT_EQ(OrvTaskGetState(child), 0);
  EXPECT_EQ(OrvTaskGetTaskData(child), nullptr);
}

// An end function that creates a task: the new task must not land on the records of the task
// that is ending, which are given back only after the end function has returned.
TEST_F(TaskTree, TaskCreatedByAnEndFunctionSurvives) {
  static OrvHandle created;
  created = 0;
  OrvTaskProc end_that_creates = [](void* data) {
    log_end(data);
    created = make("Y", kTaskLinkAfter);  // after the ending task
  };
  OrvHandle x = make("X", kTaskLinkAfter, 0, log_step, end_that_creates);
  make("S", kTaskLinkAfter, x);
  OrvTaskFree(x);
  task_scheduler().pool_cursor = 0;  // the next free-record search starts at X's records
  EXPECT_EQ(frame(), "~X Y S");      // Y follows X, so it runs in the same pass
  ASSERT_NE(created, 0u);
  EXPECT_EQ(OrvTaskGetState(created), 1);
  EXPECT_EQ(frame(), "Y S");
  EXPECT_EQ(task_scheduler().task_count, 2);
}

TEST_F(TaskTree, PoolHoldsTwoRecordsPerTaskAndFailsCleanly) {
  for (int i = 0; i < 255; ++i) ASSERT_NE(make("T", kTaskLinkAfter), 0u);
  // 510 records in use; take one more by hand so that exactly one is left.
  TaskRecord* spare = TaskPoolTake();
  ASSERT_NE(spare, nullptr);
  spare->taken = true;
  int32_t allocs = OrvGetAllocCount();
  void* data = reinterpret_cast<void*>(1);
  EXPECT_EQ(OrvTaskCreate(log_step, nullptr, 4, &data, kTaskLinkAfter, 0, "Z"), 0u);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(OrvGetAllocCount(), allocs);
  EXPECT_EQ(task_scheduler().task_count, 255);
  int free_records = 0;
  for (uint32_t i = 0; i < kTaskPoolCapacity; ++i) free_records += !task_scheduler().pool[i].taken;
  EXPECT_EQ(free_records, 1);  // the last free record stayed free
  spare->taken = false;

  // The other refusals leave nothing behind either.
  EXPECT_EQ(OrvTaskCreate(nullptr, nullptr, 4, &data, kTaskLinkAfter, 0, "null step"), 0u);
  EXPECT_EQ(OrvTaskCreate(log_step, nullptr, 4, &data, kTaskLinkAfter, 0xDEAD, "bad ref"), 0u);
  EXPECT_EQ(OrvGetAllocCount(), allocs);
}

struct WaitCase {
  const char* what;
  OrvHandle (*create)();
  uint32_t start_time;
  uint32_t advance;      // ms per frame
  int first_free_frame;  // first frame in which the sibling after the wait runs again; 0: never
};

void PrintTo(const WaitCase& c, std::ostream* os) {
  *os << c.what;
}

class Waits : public TaskTree, public ::testing::WithParamInterface<WaitCase> {};

// A creates the wait during its step in frame 1; S stands after A and is held by the wait.
TEST_P(Waits, HoldLaterSiblingsUntilTheWaitHasEndedAndBeenFreed) {
  const WaitCase& c = GetParam();
  static OrvHandle (*create)();
  create = c.create;
  g_on_first_step = [] { ASSERT_NE(create(), 0u); };
  g_now = c.start_time - c.advance;
  OrvHandle a = make("A", kTaskLinkAfter, 0, spawn_step);
  make("S", kTaskLinkAfter, a);
  int first_free = 0;
  for (int f = 1; f <= 8 && !first_free; ++f) {
    std::string log = frame(c.advance);
    EXPECT_EQ(log.substr(0, 1), "A") << "the creator goes on, frame " << f;
    if (log.find('S') != std::string::npos) first_free = f;
  }
  EXPECT_EQ(first_free, c.first_free_frame) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Waits,
    ::testing::Values(
        WaitCase{"1 frame", [] { return OrvWait(1); }, 1000, 16, 3},
        WaitCase{"3 frames", [] { return OrvWait(3); }, 1000, 16, 5},
        WaitCase{"0 frames never ends", [] { return OrvWait(0); }, 1000, 16, 0},
        WaitCase{"-1 never ends", [] { return OrvWait(-1); }, 1000, 16, 0},
        WaitCase{"0 ms ends on the first check", [] { return OrvWaitTime(0); }, 1000, 16, 3},
        // start 1000; checks at 1040, 1080, 1120 (>= 100): ended in frame 4, freed in frame 5
        WaitCase{"100 ms", [] { return OrvWaitTime(100); }, 1000, 40, 5},
        // the clock wraps between the first step and the checks
        WaitCase{"32 ms across the wrap", [] { return OrvWaitTime(32); }, 0xFFFFFFF0u, 16, 4},
        WaitCase{"Ex after the current task", [] { return OrvWaitTimeEx(16, 0); }, 1000, 16, 3}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(TaskTree, HeldTasksOnlyEndWhileAWaitHoldsThem) {
  OrvHandle a = make("A", kTaskLinkAfter);
  OrvHandle s = make("S", kTaskLinkAfter, a);
  OrvHandle t = make("T", kTaskLinkAfter, s);
  make("K", kTaskLinkFirstChild, t);
  make("U", kTaskLinkAfter, t);
  ASSERT_NE(OrvWaitTimeEx(1000, s), 0u);  // after S: holds T, its child K, and U
  EXPECT_EQ(frame(), "A S");
  EXPECT_EQ(frame(), "A S");
  OrvTaskFree(t);
  EXPECT_EQ(frame(), "A S ~K ~T");  // ending still happens behind the wait
  EXPECT_EQ(task_scheduler().task_count, 4);
}

TEST_F(TaskTree, StateMessageAndTaskData) {
  OrvHandle a = make("A", kTaskLinkAfter | kTaskBlocking);
  OrvHandle b = make("B", kTaskLinkAfter, a);
  // A task in a state other than 1 or 2 is skipped but still blocks.
  EXPECT_EQ(OrvTaskChangeState(a, 5), 5);
  EXPECT_EQ(frame(), "");
  // State 0 does not give its records back to the pool.
  OrvTaskChangeState(a, 0);
  for (int i = 0; i < 255; ++i) make("F", 7);
  EXPECT_EQ(make("F", 7), 0u);  // full: A's records were not handed out again
  OrvTaskChangeState(a, 1);
  EXPECT_EQ(frame(), "A");

  EXPECT_EQ(OrvTaskSetMessage(b, 42), 42u);
  EXPECT_EQ(OrvTaskGetMessage(b), 42u);
  EXPECT_EQ(OrvTaskGetMessage(b), 0u);

  EXPECT_EQ(OrvTaskGetTaskData(0), nullptr);  // nothing recorded yet
  OrvTaskSetTaskData(b);
  EXPECT_EQ(static_cast<Probe*>(OrvTaskGetTaskData(0))->name, std::string("B"));
  OrvTaskFree(b);
  EXPECT_EQ(OrvTaskGetState(b), 2);
  frame();
  EXPECT_EQ(OrvTaskGetTaskData(0), nullptr);  // the recorded task has ended
}

TEST_F(TaskTree, ResetEndsEverythingAfterTheMainTask) {
  OrvHandle main = make("M", kTaskLinkAfter);
  OrvHandle a = make("A", kTaskLinkAfter, main);
  make("C", kTaskLinkFirstChild, a);
  make("B", kTaskLinkAfter, a);
  EXPECT_EQ(frame(), "M C A B");
  g_log.clear();
  OrvTaskReset();
  EXPECT_EQ(g_log, (std::vector<std::string>{"~C", "~A", "~B"}));
  EXPECT_EQ(frame(), "M");
  EXPECT_EQ(task_scheduler().task_count, 1);
}

TEST_F(TaskTree, ReProcessRunsTheRestOfTheListAndKeepsTheCurrentTask) {
  OrvHandle a = make("A", kTaskLinkAfter);
  make("B", kTaskLinkAfter, a);
  frame();
  TaskRecord* current = task_scheduler().current;
  g_log.clear();
  OrvTaskReProcess(a);
  EXPECT_EQ(g_log, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(task_scheduler().current, current);
}

// A step that ends the task it stands under and resets the tree must not free the data of the
// step that is still running.
TEST_F(TaskTree, TeardownLeavesARunningTaskAlone) {
  OrvHandle main = make("M", kTaskLinkAfter);
  OrvTaskProc resetting = [](void* data) {
    log_step(data);
    OrvTaskReset();
    static_cast<Probe*>(data)->steps += 100;  // still ours
  };
  make("R", kTaskLinkAfter, main, resetting);
  EXPECT_EQ(frame(), "M R");
  EXPECT_EQ(frame(), "M ~R");  // ended on the next pass instead
}

TEST_F(TaskTree, TeardownOfAParentLeavesItsRunningChildAlone) {
  OrvHandle main = make("M", kTaskLinkAfter);
  OrvHandle a = make("A", kTaskLinkAfter, main);
  OrvTaskProc resetting = [](void* data) {
    log_step(data);
    OrvTaskReset();  // tears down A, whose child this is
    static_cast<Probe*>(data)->steps += 100;
  };
  make("R", kTaskLinkFirstChild, a, resetting);
  make("B", kTaskLinkAfter, a);
  EXPECT_EQ(frame(), "M R ~A ~B");
  EXPECT_EQ(frame(), "M");          // R is cut off; the scheduler's teardown gives its data back
  make("N", kTaskLinkAfter, main);  // the freed records are sound to reuse
  make("N", kTaskLinkAfter, main);
  EXPECT_EQ(frame(), "M N N");
}

TEST_F(TaskTree, DestroyRunsEveryEndFunctionOnce) {
  OrvHandle main = make("M", kTaskLinkAfter);
  make("C", kTaskLinkFirstChild, main);
  make("U", 0);  // never linked: its data is still given back
  static OrvHandle created_at_exit;
  created_at_exit = 1;
  OrvTaskProc end_that_creates = [](void* data) {
    log_end(data);
    created_at_exit = make("late", kTaskLinkAfter);
  };
  make("E", kTaskLinkAfter, main, log_step, end_that_creates);
  g_log.clear();
  task_scheduler_destroy();
  EXPECT_EQ(g_log, (std::vector<std::string>{"~C", "~M", "~E"}));
  EXPECT_EQ(created_at_exit, 0u);  // nothing new is started while the tree is torn down
  EXPECT_EQ(task_scheduler().task_count, 0);
  EXPECT_EQ(OrvTaskFree(main), 0);
  ASSERT_TRUE(task_scheduler_create());  // for TearDown
}

TEST(FrameTime, UpdateTakesTheClockAndGetReturnsIt) {
  platform::set_clock_source([] { return 0xFFFFFFFFu; });
  EXPECT_EQ(OrvUpdateTime(), 0xFFFFFFFFu);
  EXPECT_EQ(OrvtimeGetTime(), 0xFFFFFFFFu);
  platform::set_clock_source(nullptr);
}

TEST(TaskScheduler, WithoutASchedulerEveryCallFailsQuietly) {
  void* data = &data;
  EXPECT_EQ(OrvTaskCreate(log_step, nullptr, 4, &data, kTaskLinkAfter, 0, "x"), 0u);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(OrvWait(1), 0u);
  EXPECT_EQ(OrvTaskFree(0), 0);
  EXPECT_EQ(OrvTaskChangeNext(log_step), nullptr);
  OrvTaskReset();
  TaskTreeRun();
  task_scheduler_destroy();
}

}  // namespace

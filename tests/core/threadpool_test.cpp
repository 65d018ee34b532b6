#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include <SDL2/SDL.h>

#include "fresh_core.h"
#include "threadpool.h"

namespace {

// Jobs get their context through the argument's value.
template <typename T>
task_arg arg_for(T* ctx, int64_t extra = 0) {
  task_arg a{};
  a.value = (int64_t)(intptr_t)ctx;
  a.extra = extra;
  return a;
}
template <typename T>
T* ctx_of(task_arg* a) {
  return (T*)(intptr_t)a->value;
}

// Waits on a flag without a clock: bounded so a broken pool fails instead of hanging.
bool wait_for(const std::atomic<int>& v, int at_least) {
  for (int i = 0; i < 20000; i++) {
    if (v.load() >= at_least) return true;
    SDL_Delay(1);
  }
  return false;
}

struct Gate {
  std::atomic<int> open{0};
  std::atomic<int> entered{0};
};

void gate_job(task_arg* a) {
  Gate* g = ctx_of<Gate>(a);
  g->entered++;
  wait_for(g->open, 1);
}

struct Recorder {
  SDL_mutex* mutex = SDL_CreateMutex();
  std::vector<int64_t> order;
  ~Recorder() { SDL_DestroyMutex(mutex); }
};

void record_job(task_arg* a) {
  Recorder* r = ctx_of<Recorder>(a);
  SDL_LockMutex(r->mutex);
  r->order.push_back(a->extra);
  SDL_UnlockMutex(r->mutex);
}

struct ThreadPool : ::testing::Test {
  void SetUp() override { fresh_core(); }
  void TearDown() override { fresh_core(); }
};

task make_task(uint32_t id, int32_t priority, int32_t valid = 1) {
  task t{};
  t.id = id;
  t.priority = priority;
  t.valid = valid;
  return t;
}

std::vector<uint32_t> list_ids(const tasklist& list) {
  std::vector<uint32_t> ids;
  for (task* t = list.head; t; t = t->next) ids.push_back(t->id);
  return ids;
}

TEST(ThreadPoolList, InsertsByPriorityThenArrival) {
  tasklist list{};
  task t[4] = {make_task(1, 1), make_task(2, 3), make_task(3, 1), make_task(4, 2)};
  for (task& x : t) EXPECT_EQ(tasklist_insert(&list, &x), 1);
  EXPECT_EQ(list_ids(list), (std::vector<uint32_t>{2, 4, 1, 3}));
  EXPECT_EQ(list.count, 4u);
  task top = make_task(5, 9), bottom = make_task(6, 0);
  tasklist_insert(&list, &bottom);
  tasklist_insert(&list, &top);
  EXPECT_EQ(list_ids(list), (std::vector<uint32_t>{5, 2, 4, 1, 3, 6}));
}

TEST(ThreadPoolList, RefusesNullAndDoneTasks) {
  tasklist list{};
  task done = make_task(1, 1, 0);
  EXPECT_EQ(tasklist_insert(&list, nullptr), 0);
  EXPECT_EQ(tasklist_insert(&list, &done), 0);
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(list.count, 0u);
}

TEST_F(ThreadPool, FirstIdIsOne) {
  // A fresh process, so no earlier test has taken ids.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Recorder r;
        threadpool_create();
        const task_arg a = arg_for(&r);
        const uint32_t first = threadpool_submit(record_job, &a, 1);
        threadpool_destroy();
        exit(first == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ThreadPool, IdsIncreaseByOne) {
  Recorder r;
  threadpool_create();
  const task_arg a = arg_for(&r);
  uint32_t prev = threadpool_submit(record_job, &a, 1);
  EXPECT_GE(prev, 1u);
  for (int i = 0; i < 50; i++) {
    const uint32_t id = threadpool_submit(record_job, &a, 1 + i % 3);
    EXPECT_EQ(id, prev + 1);
    prev = id;
  }
  threadpool_wait_idle();
  EXPECT_EQ(r.order.size(), 51u);
}

TEST_F(ThreadPool, RunsPendingJobsByPriority) {
  // One worker stays parked; the other then runs the queue one job at a time.
  Gate parked, first;
  threadpool_create();
  const task_arg pa = arg_for(&parked), fa = arg_for(&first);
  threadpool_submit(gate_job, &pa, 10);
  threadpool_submit(gate_job, &fa, 10);
  ASSERT_TRUE(wait_for(parked.entered, 1));
  ASSERT_TRUE(wait_for(first.entered, 1));
  Recorder r;
  const int priorities[] = {1, 3, 1, 2};
  for (int i = 0; i < 4; i++) {
    const task_arg a = arg_for(&r, i);
    EXPECT_NE(threadpool_submit(record_job, &a, priorities[i]), 0u);
  }
  SDL_LockMutex(threadpool_pool->mutex);
  EXPECT_EQ(threadpool_pool->pending->count, 4u);
  EXPECT_EQ(threadpool_pool->running->count, 2u);
  SDL_UnlockMutex(threadpool_pool->mutex);
  first.open = 1;
  Recorder done;
  const task_arg last = arg_for(&done);
  threadpool_submit(record_job, &last, 0);
  ASSERT_TRUE([&] {
    for (int i = 0; i < 20000; i++) {
      SDL_LockMutex(done.mutex);
      const bool finished = !done.order.empty();
      SDL_UnlockMutex(done.mutex);
      if (finished) return true;
      SDL_Delay(1);
    }
    return false;
  }());
  EXPECT_EQ(r.order, (std::vector<int64_t>{1, 3, 0, 2}));
  parked.open = 1;
}

TEST_F(ThreadPool, DestroyWithNothingQueued) {
  threadpool* pool = threadpool_create();
  EXPECT_EQ(threadpool_pool, pool);
  EXPECT_EQ(pool->thread_count, 2);
  threadpool_destroy();
  EXPECT_EQ(threadpool_pool, nullptr);
  threadpool_destroy();  // nothing left: a no-op
  Recorder r;
  const task_arg a = arg_for(&r);
  EXPECT_EQ(threadpool_submit(record_job, &a, 1), 0u);  // no pool, nothing queued
  threadpool_wait_idle();
}

TEST_F(ThreadPool, DestroyRunsEveryPendingJob) {
  Gate g;
  threadpool_create();
  const task_arg ga = arg_for(&g);
  threadpool_submit(gate_job, &ga, 5);
  threadpool_submit(gate_job, &ga, 5);
  ASSERT_TRUE(wait_for(g.entered, 2));
  Recorder r;
  for (int i = 0; i < 10; i++) {
    const task_arg a = arg_for(&r, i);
    threadpool_submit(record_job, &a, 1);
  }
  SDL_LockMutex(threadpool_pool->mutex);
  EXPECT_EQ(threadpool_pool->pending->count, 10u);
  SDL_UnlockMutex(threadpool_pool->mutex);
  // Opened from another thread while destruction waits.
  SDL_Thread* opener = SDL_CreateThread(
      [](void* p) {
        SDL_Delay(20);
        ((Gate*)p)->open = 1;
        return 0;
      },
      "opener", &g);
  threadpool_destroy();
  EXPECT_EQ(threadpool_pool, nullptr);
  EXPECT_EQ(r.order.size(), 10u);
  SDL_WaitThread(opener, nullptr);
}

struct Tally {
  std::unique_ptr<std::atomic<int>[]> runs;
};

void tally_job(task_arg* a) { ctx_of<Tally>(a)->runs[a->extra]++; }

TEST_F(ThreadPool, ManyJobsEachRunExactlyOnce) {
  const int n = 20000;
  Tally t{std::unique_ptr<std::atomic<int>[]>(new std::atomic<int>[n])};
  for (int i = 0; i < n; i++) t.runs[i] = 0;
  threadpool_create();
  for (int i = 0; i < n; i++) {
    const task_arg a = arg_for(&t, i);
    ASSERT_NE(threadpool_submit(tally_job, &a, i % 4), 0u);
  }
  threadpool_wait_idle();
  int wrong = 0;
  for (int i = 0; i < n; i++) wrong += t.runs[i] != 1;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(threadpool_pool->pending->count, 0u);
  EXPECT_EQ(threadpool_pool->running->count, 0u);
}

struct Meeting {
  std::atomic<int> arrived{0};
  std::atomic<int> met{0};
  std::atomic<SDL_threadID> who[2];
};

// Each job waits for the other: only two threads at once can both get through.
void meet_job(task_arg* a) {
  Meeting* m = ctx_of<Meeting>(a);
  m->who[a->extra] = SDL_ThreadID();
  m->arrived++;
  if (wait_for(m->arrived, 2)) m->met++;
}

TEST_F(ThreadPool, JobsRunConcurrentlyOnTwoThreads) {
  Meeting m;
  threadpool_create();
  for (int i = 0; i < 2; i++) {
    const task_arg a = arg_for(&m, i);
    threadpool_submit(meet_job, &a, 1);
  }
  threadpool_wait_idle();
  EXPECT_EQ(m.met, 2);
  EXPECT_NE(m.who[0].load(), m.who[1].load());
  EXPECT_NE(m.who[0].load(), SDL_ThreadID());
  EXPECT_NE(m.who[1].load(), SDL_ThreadID());
}

TEST_F(ThreadPool, OwnedValueIsFreedByThePool) {
  // The job sees the block intact; a leak checker catches a missed free.
  threadpool_create();
  Recorder r;
  int* block = (int*)malloc(sizeof(int));
  *block = 1234;
  task_arg a{};
  a.value = (int64_t)(intptr_t)block;
  a.owned = 1;
  threadpool_submit([](task_arg* x) { EXPECT_EQ(*(int*)(intptr_t)x->value, 1234); }, &a, 1);
  threadpool_wait_idle();
}

}  // namespace

// Two worker threads running queued jobs by priority (SDL threads).
#pragma once
#include <cstdint>

// SDL's own types, declared here so that users of the pool need no SDL header.
struct SDL_Thread;
struct SDL_mutex;
struct SDL_cond;

struct task_arg {
  int64_t value;  // the field job: number of the field
  int32_t owned;  // 1: value is a malloc'd block the pool frees after the job
  int64_t extra;
};

typedef void (*task_work)(task_arg* arg);

struct task {
  uint32_t id;
  task_work work;
  task_arg arg;
  int32_t priority;
  int32_t valid;
  task* next;
};

struct tasklist {
  task* head;
  uint32_t count;
};

#define THREADPOOL_THREADS 2

struct threadpool {
  SDL_Thread** threads;
  int32_t thread_count;
  SDL_mutex* mutex;
  int32_t quit;
  tasklist* pending;
  tasklist* running;
  SDL_cond* work_cond;
  SDL_cond* done_cond;
};

extern threadpool* threadpool_pool;  // the process-wide pool, null until created

threadpool* threadpool_create();
void threadpool_destroy();
// Destroys the pool (after it drains) and numbers tasks from 1 again.
void threadpool_reset();
// Queues work on the process-wide pool; returns the task id, 0 when not queued.
uint32_t threadpool_submit(task_work work, const task_arg* arg, int32_t priority);
// Blocks until nothing is pending or running.
void threadpool_wait_idle();
int tasklist_insert(tasklist* list, task* t);
int threadpool_worker(void* pool);

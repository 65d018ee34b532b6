#include "threadpool.h"

#include <cstdio>
#include <cstdlib>

#include <SDL2/SDL.h>

threadpool* threadpool_pool = nullptr;

static uint32_t task_next_id = 1;

// Ids never repeat; the counter's mutex is made on first use (thread-safe static).
static uint32_t task_take_id() {
  static SDL_mutex* id_mutex = SDL_CreateMutex();
  SDL_LockMutex(id_mutex);
  const uint32_t id = task_next_id++;
  SDL_UnlockMutex(id_mutex);
  return id;
}

static tasklist* tasklist_create() {
  tasklist* list = (tasklist*)calloc(1, sizeof(tasklist));
  if (!list) fputs("Allocation failed in tasklist_create().\n", stderr);
  return list;
}

int tasklist_insert(tasklist* list, task* t) {
  if (!t || !t->valid) return 0;
  list->count++;
  if (!list->head) {
    t->next = nullptr;
    list->head = t;
    return 1;
  }
  task* at = list->head;
  while (at->next && t->priority <= at->next->priority) at = at->next;
  if (at == list->head && t->priority > at->priority) {
    t->next = list->head;
    list->head = t;
  } else {
    t->next = at->next;
    at->next = t;
  }
  return 1;
}

static task* tasklist_pop(tasklist* list) {
  task* t = list->head;
  if (!t) return nullptr;
  list->head = t->next;
  list->count--;
  t->next = nullptr;
  return t;
}

static void tasklist_remove(tasklist* list, uint32_t id) {
  task** link = &list->head;
  while (*link && (*link)->id != id) link = &(*link)->next;
  if (!*link) return;
  *link = (*link)->next;
  list->count--;
}

static bool tasklist_empty(const tasklist* list) { return !list || list->count == 0; }

threadpool* threadpool_create() {
  threadpool* pool = (threadpool*)calloc(1, sizeof(threadpool));
  pool->thread_count = THREADPOOL_THREADS;
  pool->threads = (SDL_Thread**)calloc(pool->thread_count, sizeof(SDL_Thread*));
  pool->mutex = SDL_CreateMutex();
  pool->pending = tasklist_create();
  pool->running = tasklist_create();
  pool->work_cond = SDL_CreateCond();
  pool->done_cond = SDL_CreateCond();
  threadpool_pool = pool;
  for (int i = 0; i < pool->thread_count; i++)
    pool->threads[i] = SDL_CreateThread(threadpool_worker, "threadpool_worker", pool);
  return pool;
}

static void task_release(task* t) {
  if (t->valid && t->arg.owned == 1) free((void*)(intptr_t)t->arg.value);
  free(t);
}

uint32_t threadpool_submit(task_work work, const task_arg* arg, int32_t priority) {
  if (!work) {
    fputs("Invalid work function in task_create().\n", stderr);
    return 0;
  }
  threadpool* pool = threadpool_pool;
  if (!pool || !pool->pending) return 0;
  task* t = (task*)calloc(1, sizeof(task));
  if (!t) return 0;
  // A worker may run and free the task as soon as the mutex is released,
  // so the id is kept here rather than read back from the task.
  const uint32_t id = task_take_id();
  t->id = id;
  t->work = work;
  if (arg) t->arg = *arg;
  t->priority = priority;
  t->valid = 1;
  SDL_LockMutex(pool->mutex);
  const int inserted = tasklist_insert(pool->pending, t);
  if (inserted) SDL_CondSignal(pool->work_cond);
  SDL_UnlockMutex(pool->mutex);
  if (!inserted) {
    free(t);
    return 0;
  }
  return id;
}

int threadpool_worker(void* arg) {
  threadpool* pool = (threadpool*)arg;
  for (;;) {
    SDL_LockMutex(pool->mutex);
    while (!pool->quit && tasklist_empty(pool->pending)) SDL_CondWait(pool->work_cond, pool->mutex);
    if (pool->quit) {
      SDL_UnlockMutex(pool->mutex);
      return 0;
    }
    task* t = tasklist_pop(pool->pending);
    tasklist_insert(pool->running, t);
    SDL_UnlockMutex(pool->mutex);

    t->work(&t->arg);
    if (t->arg.owned == 1) free((void*)(intptr_t)t->arg.value);
    t->valid = 0;

    SDL_LockMutex(pool->mutex);
    tasklist_remove(pool->running, t->id);
    free(t);
    SDL_CondBroadcast(pool->done_cond);
    SDL_UnlockMutex(pool->mutex);
  }
}

void threadpool_wait_idle() {
  threadpool* pool = threadpool_pool;
  if (!pool) return;
  SDL_LockMutex(pool->mutex);
  while (!tasklist_empty(pool->pending) || !tasklist_empty(pool->running))
    SDL_CondWait(pool->done_cond, pool->mutex);
  SDL_UnlockMutex(pool->mutex);
}

void threadpool_destroy() {
  threadpool* pool = threadpool_pool;
  if (!pool) return;
  threadpool_wait_idle();
  SDL_LockMutex(pool->mutex);
  pool->quit = 1;
  SDL_CondBroadcast(pool->work_cond);
  SDL_UnlockMutex(pool->mutex);
  for (int i = 0; i < pool->thread_count; i++) SDL_WaitThread(pool->threads[i], nullptr);
  free(pool->threads);
  SDL_DestroyMutex(pool->mutex);
  tasklist* lists[2] = {pool->pending, pool->running};
  for (tasklist* list : lists) {
    if (!list) continue;
    while (task* t = tasklist_pop(list)) task_release(t);
    free(list);
  }
  SDL_DestroyCond(pool->work_cond);
  SDL_DestroyCond(pool->done_cond);
  free(pool);
  threadpool_pool = nullptr;
}

void threadpool_reset() {
  threadpool_destroy();
  task_next_id = 1;
}

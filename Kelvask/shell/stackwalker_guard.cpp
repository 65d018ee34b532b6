#include "stackwalker_guard.h"

#include <SDL2/SDL.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "stackwalker.h"

#define CRASH_TITLE "Tavorek Crash. Please report to crashes@tavorek.example"
#define ALT_STACK_SZ (1024 * 1024)
#define DIALOG_SECONDS 600

int32_t stackwalker_watchdog_seconds = 10;

static const int FATAL[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
static volatile sig_atomic_t guarded;
static volatile sig_atomic_t handling;
static pid_t guarded_thread;

static pid_t thread_id() { return (pid_t)syscall(SYS_gettid); }

uint32_t stackwalker_exception_code(int sig, int si_code, uintptr_t addr, uintptr_t sp) {
  switch (sig) {
    case SIGSEGV: {
      // An access just below or at the stack pointer is the stack running out.
      const uintptr_t d = addr > sp ? addr - sp : sp - addr;
      return si_code > 0 && d <= 65536 ? 0xc00000fdu : 0xc0000005u;
    }
    case SIGBUS:
      return si_code == BUS_ADRALN ? 0x80000002u : 0xc0000006u;
    case SIGILL:
      return si_code == ILL_PRVOPC || si_code == ILL_PRVREG ? 0xc0000096u : 0xc000001du;
    case SIGFPE:
      switch (si_code) {
        case FPE_INTDIV:
          return 0xc0000094u;
        case FPE_INTOVF:
          return 0xc0000095u;
        case FPE_FLTDIV:
          return 0xc000008eu;
        case FPE_FLTOVF:
          return 0xc0000091u;
        case FPE_FLTUND:
          return 0xc0000093u;
        case FPE_FLTRES:
          return 0xc000008fu;
        case FPE_FLTSUB:
          return 0xc000008cu;
        default:
          return 0xc0000090u;
      }
  }
  return 0xc0000005u;
}

int sdlmain_crash_filter(const ucontext_t* context, uint32_t code) {
  MyStackWalker walker(getpid());
  stackwalker_crash_text[0] = '\0';
  stackwalker_crash_len = 0;
  LOG("ERR =================== STACK FRAME(%x) =======================", code);
  walker.WalkThread(context ? (uintptr_t)context->uc_mcontext.gregs[REG_RIP] : 0);
  LOG("ERR ============================================================================");
  fflush(nullptr);
  return 1;
}

static void say(const char* text) {
  ssize_t ignored = write(2, text, strlen(text));
  (void)ignored;
}

static void on_watchdog(int) {
  say("ERR The crash handler took too long; ending.\n");
  _exit(1);
}

static bool has_display() {
  const char* driver = getenv("SDL_VIDEODRIVER");
  if (driver && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0)) return false;
  const char* x = getenv("DISPLAY");
  const char* w = getenv("WAYLAND_DISPLAY");
  return (x && x[0]) || (w && w[0]);
}

static void on_fault(int sig, siginfo_t* info, void* raw) {
  if (!guarded || thread_id() != guarded_thread) {
    signal(sig, SIG_DFL);
    raise(sig);
    return;
  }
  // Handlers run with SA_NODEFER: a fault while handling lands here again.
  if (handling) {
    say("ERR A fault inside the crash handler; ending.\n");
    _exit(1);
  }
  handling = 1;
  signal(SIGALRM, on_watchdog);
  alarm(stackwalker_watchdog_seconds);
  const ucontext_t* context = (const ucontext_t*)raw;
  const uint32_t code = stackwalker_exception_code(sig, info->si_code, (uintptr_t)info->si_addr,
                                                   (uintptr_t)context->uc_mcontext.gregs[REG_RSP]);
  if (sdlmain_crash_filter(context, code) && has_display()) {
    alarm(DIALOG_SECONDS);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, CRASH_TITLE, stackwalker_crash_text, nullptr);
  }
  _exit(1);
}

void stackwalker_guard_install() {
  guarded_thread = thread_id();
  // Mapped, not on the heap: a stack overflow still finds room to report.
  void* alt =
      mmap(nullptr, ALT_STACK_SZ, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (alt != MAP_FAILED) {
    stack_t ss = {};
    ss.ss_sp = alt;
    ss.ss_size = ALT_STACK_SZ;
    if (sigaltstack(&ss, nullptr) != 0)
      LOG("ERR No alternate signal stack: a stack overflow will not be logged.");
  }
  // Symbols are made ready now, not at the crash.
  if (!stackwalker_prepare()) LOG("ERR No symbol reader: a crash will not be traced.");
  struct sigaction sa = {};
  sa.sa_sigaction = on_fault;
  sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&sa.sa_mask);
  for (int sig : FATAL) sigaction(sig, &sa, nullptr);
}

void stackwalker_guard_enter() { guarded = 1; }
void stackwalker_guard_leave() { guarded = 0; }

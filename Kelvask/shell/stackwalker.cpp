#include "stackwalker.h"

#include <backtrace.h>
#include <cxxabi.h>
#include <dlfcn.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log.h"

char stackwalker_crash_text[STACKWALKER_TEXT_SZ];
int stackwalker_crash_len;
bool stackwalker_error_seen;

// Made once: the reader maps the debug information on first use and keeps it.
static backtrace_state* symbols;
// Grown by the demangler when a name needs more; allocated before any crash.
static char* demangled;
static size_t demangled_sz;

int stackwalker_snprintf(char* buf, int size, const char* fmt, ...) {
  if (size <= 0) return -1;
  va_list ap;
  va_start(ap, fmt);
  const int n = vsnprintf(buf, size, fmt, ap);
  va_end(ap);
  if (n < 0) return -1;
  return n < size ? n : size - 1;
}

StackWalker::StackWalker(int id)
    : process_id(id), modules_loaded(false), max_recursion(STACKWALKER_MAX_RECURSION) {}

StackWalker::~StackWalker() {}

MyStackWalker::~MyStackWalker() {}

// Reader errors only mean less is known about a frame; the frame still prints.
static void on_reader_error(void*, const char*, int) {}

bool stackwalker_prepare() {
  if (!symbols) symbols = backtrace_create_state(nullptr, 0, on_reader_error, nullptr);
  if (!demangled) {
    demangled_sz = 4096;
    demangled = (char*)malloc(demangled_sz);
  }
  return symbols && demangled;
}

bool StackWalker::PrepareSymbols() {
  if (modules_loaded) return true;
  if (!stackwalker_prepare()) {
    ReportHelpError("Error while initializing libbacktrace", 0, 0);
    return false;
  }
  ReportSymbolSetup();
  modules_loaded = true;
  return true;
}

void StackWalker::ReportSymbolSetup() {
  struct utsname u;
  if (uname(&u) != 0) return;
  int major = 0, minor = 0, build = 0;
  sscanf(u.release, "%d.%d.%d", &major, &minor, &build);
  char line[STACKWALKER_LINE_SZ];
  stackwalker_snprintf(line, sizeof line, "OS-Version: %d.%d.%d (%s %s) 0x%x-0x%x\n", major, minor,
                       build, u.sysname, u.version, 0u, 0u);
  EmitText(line);
}

void StackWalker::ReportHelpError(const char* name, int error, uint64_t address) {
  char line[STACKWALKER_LINE_SZ];
  stackwalker_snprintf(line, sizeof line, "ERROR: %s, GetLastError: %d (Address: %p)\n", name,
                       error, (void*)(uintptr_t)address);
  EmitText(line);
}

void StackWalker::ReportFrame(int kind, stackwalker_frame* f) {
  if (kind == STACKWALKER_LAST || f->pc == 0) return;
  const char* function = "(function-name not available)";
  if (f->name[0]) function = f->name;
  if (f->undname[0]) function = f->undname;
  if (f->undfullname[0]) function = f->undfullname;
  char line[STACKWALKER_LINE_SZ];
  if (f->file[0]) {
    stackwalker_snprintf(line, sizeof line, "%s (%d): %s\n", f->file, f->line, function);
  } else {
    const char* module = f->module[0] ? f->module : "(module-name not available)";
    stackwalker_snprintf(line, sizeof line, "%p (%s): %s: %s\n", (void*)(uintptr_t)f->pc, module,
                         "(filename not available)", function);
  }
  EmitText(line);
}

void StackWalker::EmitText(const char* text) {
  // Linux has no debugger output stream; standard error stands in for it.
  ssize_t ignored = write(2, text, strlen(text));
  (void)ignored;
}

void MyStackWalker::EmitText(const char* text) {
  if (strncmp(text, "ERROR:", 6) == 0) {
    stackwalker_error_seen = true;
    StackWalker::EmitText(text);
    return;
  }
  if (!stackwalker_error_seen) {
    const int len = (int)strlen(text);
    int room = STACKWALKER_TEXT_SZ - 1 - stackwalker_crash_len;
    if (room > len) room = len;
    if (room > 0) memcpy(stackwalker_crash_text + stackwalker_crash_len, text, room);
    if (room > 0) stackwalker_crash_len += room;
    stackwalker_crash_text[stackwalker_crash_len] = '\0';
    LOG("%s", text);
  }
  StackWalker::EmitText(text);
}

// Fills the demangled forms of f->name.
static void demangle(stackwalker_frame* f) {
  if (!f->name[0]) return;
  int status = -1;
  char* out = abi::__cxa_demangle(f->name, demangled, &demangled_sz, &status);
  if (status != 0 || !out) return;
  demangled = out;
  snprintf(f->undfullname, sizeof f->undfullname, "%s", out);
  snprintf(f->undname, sizeof f->undname, "%s", out);
  char* paren = strchr(f->undname, '(');
  if (paren && paren != f->undname) *paren = '\0';
}

static void on_symbol(void* data, uintptr_t, const char* name, uintptr_t, uintptr_t) {
  stackwalker_frame* f = (stackwalker_frame*)data;
  if (name && !f->name[0]) snprintf(f->name, sizeof f->name, "%s", name);
}

// The module, and the exported symbol when the debug information knows no function.
static void fill_module(stackwalker_frame* f) {
  Dl_info info;
  if (!dladdr((void*)(uintptr_t)f->pc, &info)) return;
  if (info.dli_fname) {
    snprintf(f->image, sizeof f->image, "%s", info.dli_fname);
    const char* slash = strrchr(info.dli_fname, '/');
    snprintf(f->module, sizeof f->module, "%s", slash ? slash + 1 : info.dli_fname);
  }
  f->base = (uint64_t)(uintptr_t)info.dli_fbase;
  if (!f->name[0] && info.dli_sname) snprintf(f->name, sizeof f->name, "%s", info.dli_sname);
}

// Frame records are large: one, reused, kept off the (alternate) stack.
static stackwalker_frame frame_record;

int StackWalker::OnLine(void* data, uintptr_t pc, const char* file, int line,
                        const char* function) {
  StackWalker* w = (StackWalker*)data;
  stackwalker_frame* f = &frame_record;
  memset(f, 0, sizeof *f);
  f->pc = pc;
  if (function) snprintf(f->name, sizeof f->name, "%s", function);
  if (file) snprintf(f->file, sizeof f->file, "%s", file);
  f->line = line;
  if (!f->name[0]) backtrace_syminfo(symbols, pc, on_symbol, on_reader_error, f);
  fill_module(f);
  demangle(f);
  w->ReportFrame(w->frames_reported++ == 0 ? STACKWALKER_FIRST : STACKWALKER_NEXT, f);
  return 0;
}

void StackWalker::WalkFrames(const uintptr_t* pcs, int count, bool cut) {
  if (!PrepareSymbols()) return;
  int repeats = 0;
  for (int i = 0; i < count; i++) {
    const uintptr_t pc = pcs[i];
    const uintptr_t ret = i + 1 < count ? pcs[i + 1] : 0;
    if (pc == ret) {
      if (++repeats > max_recursion) {
        ReportHelpError("StackWalk64-Endless-Callstack!", 0, pc);
        return;
      }
    } else {
      repeats = 0;
    }
    // One line per function at pc: inlined ones first.
    if (pc) backtrace_pcinfo(symbols, pc, OnLine, on_reader_error, this);
  }
  if (cut) ReportHelpError("StackWalk64-Endless-Callstack!", 0, count ? pcs[count - 1] : 0);
}

static uintptr_t walk_pcs[STACKWALKER_MAX_FRAMES + 1];
static int walk_count;

static int on_pc(void*, uintptr_t pc) {
  // The outermost frame's return address of 0 comes adjusted to all ones.
  if (pc == 0 || pc == (uintptr_t)-1) return 1;
  walk_pcs[walk_count++] = pc;
  return walk_count > STACKWALKER_MAX_FRAMES;
}

bool StackWalker::WalkThread(uintptr_t fault_pc) {
  if (!PrepareSymbols()) return false;
  walk_count = 0;
  backtrace_simple(symbols, 0, on_pc, on_reader_error, nullptr);
  if (walk_count == 0) {
    ReportHelpError("StackWalk64", 0, fault_pc);
    return false;
  }
  // The frames of the signal's delivery lie above the faulting one; should
  // the unwinder not meet it, they are shown too rather than nothing.
  int first = 0;
  while (fault_pc && first < walk_count && walk_pcs[first] != fault_pc) first++;
  if (first == walk_count) first = 0;
  const bool cut = walk_count > STACKWALKER_MAX_FRAMES;
  WalkFrames(walk_pcs + first, (cut ? STACKWALKER_MAX_FRAMES : walk_count) - first, cut);
  return true;
}

void stackwalker_reset() {
  memset(stackwalker_crash_text, 0, sizeof stackwalker_crash_text);
  stackwalker_crash_len = 0;
  stackwalker_error_seen = false;
  frame_record = stackwalker_frame{};
  memset(walk_pcs, 0, sizeof walk_pcs);
  walk_count = 0;
}

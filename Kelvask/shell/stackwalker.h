// The crash log's stack walk: StackWalker resolves the frames of the calling
// thread through libbacktrace and hands each finding, as one line of text,
// to its output operation; MyStackWalker sends those lines to the crash text
// and the log until the first error report.
#pragma once
#include <cstdint>

#define STACKWALKER_TEXT_SZ 4096
#define STACKWALKER_LINE_SZ 1024
#define STACKWALKER_MAX_RECURSION 1000
// Deeper stacks are cut: only runaway recursion gets there.
#define STACKWALKER_MAX_FRAMES 2048

extern char stackwalker_crash_text[STACKWALKER_TEXT_SZ];
extern int stackwalker_crash_len;  // characters in the crash text
extern bool stackwalker_error_seen;
// No crash text, no error seen, no frames walked, as in a fresh process. The
// symbol reader and the demangler's buffer are kept: they are made once.
void stackwalker_reset();

// snprintf into buf of size bytes: the length written, cut text not counted, or -1.
int stackwalker_snprintf(char* buf, int size, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));

// Readies the symbol reader ahead of any crash; false when it cannot be had.
bool stackwalker_prepare();

enum { STACKWALKER_FIRST, STACKWALKER_NEXT, STACKWALKER_LAST };

struct stackwalker_frame {
  uint64_t pc;  // 0: none
  char name[STACKWALKER_LINE_SZ];
  char undname[STACKWALKER_LINE_SZ];      // demangled, without parameters
  char undfullname[STACKWALKER_LINE_SZ];  // demangled in full
  int32_t line;
  char file[STACKWALKER_LINE_SZ];
  char module[STACKWALKER_LINE_SZ];
  uint64_t base;
  char image[STACKWALKER_LINE_SZ];
};

class StackWalker {
 public:
  explicit StackWalker(int process_id);
  virtual ~StackWalker();
  // Readies the symbol reader; true when it can be used.
  bool PrepareSymbols();
  // Walks the calling thread from the frame whose program counter is
  // fault_pc (a signal's context), or from the caller when that is 0.
  bool WalkThread(uintptr_t fault_pc);
  // Reports frames by program counter, innermost first; cut: the stack went
  // on beyond the last one.
  void WalkFrames(const uintptr_t* pcs, int count, bool cut);

 protected:
  virtual void ReportSymbolSetup();
  virtual void ReportFrame(int kind, stackwalker_frame* frame);
  virtual void ReportHelpError(const char* name, int error, uint64_t address);
  virtual void EmitText(const char* text);

  int process_id;
  bool modules_loaded;
  int max_recursion;

 private:
  static int OnLine(void* data, uintptr_t pc, const char* file, int line, const char* function);
  int frames_reported = 0;
};

class MyStackWalker : public StackWalker {
 public:
  explicit MyStackWalker(int process_id) : StackWalker(process_id) {}
  ~MyStackWalker() override;

 protected:
  void EmitText(const char* text) override;
};

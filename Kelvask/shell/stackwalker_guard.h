// The crash guard of the frame's update, viewport and draw: a fault there on
// the main thread logs a stack trace, shows it and ends the process with
// status 1; faults elsewhere take the signal's default action.
#pragma once
#include <cstdint>

#include <ucontext.h>

// Installs the handlers on an alternate stack; the calling thread becomes
// the one guarded.
void stackwalker_guard_install();
void stackwalker_guard_enter();
void stackwalker_guard_leave();

// Seconds a crash may take to be written before the process ends anyway.
extern int32_t stackwalker_watchdog_seconds;

// The Windows exception code that the crash log names for a signal.
uint32_t stackwalker_exception_code(int sig, int si_code, uintptr_t fault_address,
                                    uintptr_t stack_pointer);
// Writes the trace of the faulting thread between the two rule lines into
// the log and the crash text; returns 1.
int sdlmain_crash_filter(const ucontext_t* context, uint32_t code);

#include <cpuid.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "sdlmain.h"

void sdlmain_feature_line(bool avx, bool avx2, bool avx512, char out[32]) {
  snprintf(out, 32, "AVX[%c] AVX2[%c] AVX512[%c]", avx ? 'x' : ' ', avx2 ? 'x' : ' ',
           avx512 ? 'x' : ' ');
}

void sdlmain_check_cpu() {
  unsigned int eax, ebx, ecx, edx;
  char vendor[13];
  __cpuid(0, eax, ebx, ecx, edx);
  memcpy(vendor + 0, &ebx, 4);
  memcpy(vendor + 4, &edx, 4);
  memcpy(vendor + 8, &ecx, 4);
  vendor[12] = '\0';
  LOG("CPU Vendor %s", vendor);

  __cpuid(1, eax, ebx, ecx, edx);
  const bool avx = (ecx >> 28) & 1;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  const bool avx2 = (ebx >> 5) & 1;
  const bool avx512 = (ebx >> 16) & 1;
  char line[32];
  sdlmain_feature_line(avx, avx2, avx512, line);
  LOG("%s", line);
  if (avx) return;

  LOG("CPU does not support AVX. Aborting!");
  SDL_ShowSimpleMessageBox(
      SDL_MESSAGEBOX_ERROR, "CPU not supported",
      "Your CPU does not support the AVX intructions.\n"
      "That means this game will not run on your machine.\n"
      "AVX was introducted on Intel Sandy Bridge and AMD Bulldozer CPUs. (2011+)\n",
      nullptr);
  exit(102);
}

void sdlmain_assert_text(const char* expr, const char* file, int line, char out[512]) {
  snprintf(out, 512, "Assertion failed:\n%s\n%s(%d)", expr, file, line);
}

void sdlmain_assert_dialog(const char* expr, const char* file, int line) {
  char text[512];
  sdlmain_assert_text(expr, file, line, text);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Tavorek Assertion Failure", text, nullptr);
}

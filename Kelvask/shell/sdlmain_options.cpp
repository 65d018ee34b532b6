#include <cstring>

#include "notify.h"
#include "sdlmain.h"
#include "wld_state.h"

int32_t sdlmain_headless = 0;
int32_t sdlmain_msaa = 1;
int32_t sdlmain_swapinterval = 1;
int32_t sdlmain_resetstats = 0;

void sdlmain_reset() {
  sdlmain_window = nullptr;
  sdlmain_context = nullptr;
  sdlmain_width = 1280;
  sdlmain_height = 720;
  csf = 1.0f;
  sdlmain_datapath = ".";
  sdlmain_userfolder[0] = 0;
  sdlmain_quit = false;
  sdlmain_headless = 0;
  sdlmain_msaa = 1;
  sdlmain_swapinterval = 1;
  sdlmain_resetstats = 0;
}

struct option_entry {
  const char* name;
  int32_t* value;
};

static const option_entry options[] = {
    {"headless=", &sdlmain_headless},
    {"msaa=", &sdlmain_msaa},
    {"swapinterval=", &sdlmain_swapinterval},
    {"resetstats=", &sdlmain_resetstats},
    {"cheat=", &sdlmain_cheat},
};

void sdlmain_read_options(int argc, char** argv) {
  for (int i = 1; i < argc; i++)
    for (const option_entry& o : options) {
      const size_t len = strlen(o.name);
      if (strncmp(argv[i], o.name, len) == 0) *o.value = notify_atoi(argv[i] + len);
    }
}

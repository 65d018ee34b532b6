#include <cstring>

#include "notify.h"
#include "wld_state.h"

int32_t sdlmain_headless = 0;
int32_t sdlmain_msaa = 1;
int32_t sdlmain_swapinterval = 1;
int32_t sdlmain_resetstats = 0;

struct option_entry {
  const char* name;
  int32_t* value;
};

static const option_entry options[] = {
    {"headless=", &sdlmain_headless},     {"msaa=", &sdlmain_msaa},
    {"swapinterval=", &sdlmain_swapinterval}, {"resetstats=", &sdlmain_resetstats},
    {"cheat=", &sdlmain_cheat},
};

void sdlmain_read_options(int argc, char** argv) {
  for (int i = 1; i < argc; i++)
    for (const option_entry& o : options) {
      const size_t len = strlen(o.name);
      if (strncmp(argv[i], o.name, len) == 0) *o.value = notify_atoi(argv[i] + len);
    }
}

// Plays seeded random games through the controller's handlers, saving at
// random moments and starting again on each saved pair:
//   play_saves [--seed N] [--seeds K] [--minutes M] [--crowd W]
// plays seeds N to N + K - 1 (1 and 1 by default) for M game minutes each (5
// by default), each game grown to W workers (0, none, by default), and prints
// per seed the saves and loads and each fault (a refused pair with its ERR
// line, a load or a save after it that differed, a worker left in a
// building's closed cell), then how often each came. Exit status 1 on any.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include "randplay.h"

// The line with its numbers as N, so that one fault in many places counts once.
static std::string kind_of(const char* line) {
  std::string k;
  for (const char* p = line; *p; p++) {
    const bool digit = isdigit((unsigned char)*p) || (*p == '.' && isdigit((unsigned char)p[1]));
    if (!digit || k.empty() || k.back() != 'N') k += digit ? 'N' : *p;
  }
  return k;
}

int main(int argc, char** argv) {
  long seed = 1, seeds = 1, crowd = 0;
  double minutes = 5.0;
  bool known = argc % 2 == 1;
  for (int a = 1; known && a + 1 < argc; a += 2) {
    if (strcmp(argv[a], "--seed") == 0)
      seed = atol(argv[a + 1]);
    else if (strcmp(argv[a], "--seeds") == 0)
      seeds = atol(argv[a + 1]);
    else if (strcmp(argv[a], "--crowd") == 0)
      crowd = atol(argv[a + 1]);
    else if (strcmp(argv[a], "--minutes") == 0)
      minutes = atof(argv[a + 1]);
    else
      known = false;
  }
  if (!known || seeds < 1 || !(minutes > 0.0) || crowd < 0) {
    fprintf(stderr, "ERR usage: play_saves [--seed N] [--seeds K] [--minutes M] [--crowd W]\n");
    return 2;
  }
  // The game's own log lines go nowhere; the report keeps standard output.
  FILE* out = fdopen(dup(fileno(stdout)), "w");
  if (!out || !freopen("/dev/null", "w", stdout)) return 2;
  std::map<std::string, int> kinds;
  int saves = 0, loads = 0, faults = 0;
  const clock_t began = clock();
  for (long s = seed; s < seed + seeds; s++) {
    char dir[] = "/tmp/tavorek_playXXXXXX";
    if (!mkdtemp(dir)) return 2;
    static randplay_result r;
    randplay_run((uint32_t)s, minutes * 60.0, dir, &r, (int32_t)crowd);
    std::filesystem::remove_all(dir);
    fprintf(out, "seed %ld: %d saves, %d loads, %d faults, %d workers\n", s, r.saves, r.loads,
            r.faults, r.most_workers);
    for (int f = 0; f < r.faults; f++) {
      fprintf(out, "  seed %ld at %.1f s of play: %s\n", s, r.fault[f].played, r.fault[f].line);
      kinds[kind_of(r.fault[f].line)]++;
    }
    fflush(out);
    saves += r.saves, loads += r.loads, faults += r.faults;
  }
  fprintf(out, "%ld seeds of %.1f game minutes in %.1f s: %d saves, %d loads, %d faults\n", seeds,
          minutes, (double)(clock() - began) / CLOCKS_PER_SEC, saves, loads, faults);
  for (const auto& k : kinds) fprintf(out, "%6d  %s\n", k.second, k.first.c_str());
  return faults == 0 ? 0 : 1;
}

// What a log line costs with standard output and the log file both on disk,
// as in a game started with its output sent to a file. Most frames log
// nothing; loading logs a few hundred lines.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "log.h"
#include "regfile.h"

static void BM_LogLineToFile(benchmark::State& state) {
  char dir[] = "/tmp/logbenchXXXXXX";
  if (!mkdtemp(dir)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  char path[64], previous[64], out[64];
  snprintf(path, sizeof path, "%s/tavoreklog.txt", dir);
  snprintf(previous, sizeof previous, "%s/tavoreklog-previous.txt", dir);
  snprintf(out, sizeof out, "%s/stdout.txt", dir);
  fflush(stdout);
  const int saved_stdout = dup(STDOUT_FILENO);
  FILE* sink = regfile_open(out, "w");
  if (!sink || !log_open(path, previous)) {
    state.SkipWithError("cannot open the log");
    return;
  }
  dup2(fileno(sink), STDOUT_FILENO);
  int n = 0;
  for (auto _ : state) {
    LOG("Loaded compressed terrain_%d.pkm(512x512) as %x", n, n + 1);
    n++;
  }
  fflush(stdout);
  dup2(saved_stdout, STDOUT_FILENO);
  close(saved_stdout);
  fclose(sink);
  fclose(log_file);
  log_file = nullptr;
  state.SetItemsProcessed(state.iterations());
  unlink(path);
  unlink(previous);
  unlink(out);
  rmdir(dir);
}
BENCHMARK(BM_LogLineToFile);

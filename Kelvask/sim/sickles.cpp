#include "sickles.h"

#include <cstring>

#include "worktools.h"

int32_t sickles_count;
int32_t sickles_carr[MAXSICKLES];
float sickles_inst[MAXSICKLES][16];

static const ToolTable table = {"sickles", sickles_carr, nullptr, &sickles_count, nullptr, nullptr};

void sickles_reset() {
  worktools_clear(&table);
  memset(sickles_inst, 0, sizeof sickles_inst);
}
int sickles_give(int member) { return worktools_give(&table, member); }
bool sickles_serialize(int out, FILE* f) { return worktools_serialize(&table, out, f); }

// A sickle hangs at the carrier's origin.
void sickles_update_instances(const float (*trfs)[16]) {
  worktools_place(&table, 0, trfs, 0.0f, sickles_inst);
}

#include "sickles.h"

#include <cstring>

#include "tools.h"

int32_t sickles_count;
int32_t sickles_carr[MAXSICKLES];
float sickles_inst[MAXSICKLES][16];

static const ToolTable table = {"sickles", sickles_carr, nullptr, &sickles_count, nullptr, nullptr};

void sickles_reset() {
  tools_clear(&table);
  memset(sickles_inst, 0, sizeof sickles_inst);
}
int sickles_give(int member) { return tools_give(&table, member); }
bool sickles_serialize(int out, FILE* f) { return tools_serialize(&table, out, f); }

// A sickle hangs at the carrier's origin.
void sickles_update_instances(const float (*trfs)[16]) {
  tools_place(&table, 0, trfs, 0.0f, sickles_inst);
}

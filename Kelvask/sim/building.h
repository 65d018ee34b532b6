// What the production buildings (farm fields, bakeries, huts, tax offices)
// have in common: a 3 by 3 footprint around a centre cell whose goal cells
// come from a nine-entry template (rows north to south, columns west to east,
// each entry a cell type), a lookup of the building at a cell, goal groups
// switched on and off through the cell type, per-step goal weights, and the
// saved-game sections made of one header line per field.
#pragma once
#include <cstdint>
#include <cstdio>

#define FOOTPRINT 9  // entries of a footprint template

// Cell of template entry k (0..8) around the centre cell, -1 off the grid.
int building_cell(int centre, int k);
// True when the whole 3 by 3 footprint around (x, y) lies in the grid.
bool building_fits(int x, int y);
// True when the footprint fits and every cell of the 5 by 5 area around
// (x, y) that lies in the grid has no cell type.
bool building_site_free(int x, int y);

// Writes `type` into the type bits of every footprint cell whose template
// entry is `entry`, keeping the open-side bits. Stamping a group writes the
// entry itself, switching it off writes BLDG, switching it on the entry again.
void building_set_group(int centre, const uint8_t tmpl[FOOTPRINT], int entry, int type);
// Writes w into wld_goalweight of every footprint cell whose entry is `entry`.
void building_set_weight(int centre, const uint8_t tmpl[FOOTPRINT], int entry, float w);

// The lowest index i < count whose centres[i] lies within one cell of cidx in
// x and in y; -1 when there is none or cidx is off the grid.
int building_find_at(const int32_t* centres, int count, int cidx);

// Model matrix: identity rotation, translation to the middle of the cell at
// its ground (grid_z of its height byte).
void building_matrix(float m[16], int cidx);

// One saved field: out != 0 writes the header line `name` and the values,
// else checks that header and reads them. Plain fields hold one value per
// record ("%d\n" / "%f\n"), row fields `per` values per record on one line.
bool building_io_ints(int out, FILE* f, const char* name, int32_t* v, int n);
bool building_io_floats(int out, FILE* f, const char* name, float* v, int n);
bool building_io_int_rows(int out, FILE* f, const char* name, int32_t* v, int per, int n);
bool building_io_float_rows(int out, FILE* f, const char* name, float* v, int per, int n);

// One saved field of a building table: `per` values per record on one line
// ("%d " / "%f " each), or one value per line ("%d\n" / "%f\n") when per is 0.
struct BuildingField {
  const char* name;  // after the table's prefix: "cidx" is saved as "bakeries_cidx"
  int32_t* ints;     // one of ints and floats
  float* floats;
  int per;
};

constexpr BuildingField building_ints(const char* name, int32_t* v, int per = 0) {
  return {name, v, nullptr, per};
}
constexpr BuildingField building_floats(const char* name, float* v, int per = 0) {
  return {name, nullptr, v, per};
}

// The module's own checks of a section just read, for records 0..n-1.
typedef bool (*building_valid_fn)(int n);

// A production building table: what adding, clearing, saving and checking
// need to know of it. Unused track and field entries stay zero.
struct BuildingTable {
  const char* prefix;  // "bakeries": names the saved lines
  const char* what;    // "bakery", "tax office": names one record in the log
  const char* whats;   // "bakeries", "tax offices"
  int capacity;
  int32_t* count;
  int32_t* centres;
  const uint8_t* tmpl;  // the footprint's cell types (FOOTPRINT entries)
  int32_t* tracks[4];   // event-track ids per record (-1 none), in the order they are made
  // A table-wide value saved after the count line ("taxc_silver"), or null.
  const char* extra_name;
  int32_t* extra;
  int32_t extra_max;         // past it the section is refused; below 0 it is held at 0
  BuildingField fields[16];  // in saved order
  building_valid_fn valid;   // may be null
  void (*empty)(int i);      // leaves record i holding nothing
  // The BLDG entries are never written (huts, farms): those cells keep the
  // type they had at placement, none, or a build mark laid there since.
  bool bldg_unwritten;
};

// The world's age, as event tracks take it.
float building_now();

// Room in the table (else logged "ERR All ... are built.") and a free site
// (else logged "Too close to a goal cell.") for a building centred on (x, y).
bool building_can_add(const BuildingTable* t, int x, int y);
// Start values: no records, every field zero, then every record empty and
// every track id -1.
void building_reset(const BuildingTable* t);
// Appends an empty record centred on (x, y), which the caller has checked,
// with its tracks (64 slots each, made at the world's age: a full track
// table leaves an id at -1, the building still works and that rate reads 0).
// Returns its index.
int building_append(const BuildingTable* t, int x, int y);

// The section: "<prefix>_count %d", the extra line, then the fields. Reading
// puts the count (and the extra value) live only once every field has been
// read and the centres, the track ids and the module's own check have
// passed, so a damaged section leaves an empty table.
bool building_serialize(const BuildingTable* t, int out, FILE* f);

// Checks of values read back: every centre a cell of the grid with its
// footprint inside, every track id -1 or a made track.
bool building_centres_valid(const char* what, const int32_t* centres, int n);
bool building_tracks_valid(const char* what, const int32_t* ids, int n);
// Every footprint cell of the records 0..n-1 carries what the building
// itself writes there: its goal type or BLDG on a goal entry, nothing or BLDG
// elsewhere, and a build mark too on an entry the building never writes. A
// record moved onto water, stock or another building fails, and so does one
// whose cells lost their types.
bool building_cells_valid(const BuildingTable* t, int n);

// Checks of a world being read from a saved game, for what the module
// sections cannot see on their own: the world's scalars and per-member
// arrays, the cell types, and the references between the tables. Each failed
// check logs one "ERR " line saying what is wrong.
#pragma once
#include <cstdint>

#define SAVE_MAXTIME 1e12      // seconds; beyond any game, and safe to narrow to f32
#define SAVE_TURN_MOST 1.001f  // a rotation entry, with room for rounding
#define SAVE_FAR 1e6f          // a place or swing no game comes near

// The age and the spawn queues read from the text file. A clock past
// SAVE_MAXTIME (a doctored file, or a game played on from there) is held
// there rather than refused, so whatever age the game saves loads again.
bool wld_check_header(double* age, const int32_t* queues);
// After the crowd block: move times not negative (held at SAVE_MAXTIME),
// and wld_numdead the number of dead members. The spawn queues, already
// live, are held together to the crowd's room.
bool wld_check_members();
// After the world's binary arrays: members far off the site or at a place
// that is not a number put back on the grid (logged), emotes, finite times,
// transforms as the world writes them (a runaway limb swing held at 0), and
// only cell types that the game writes.
bool wld_check_member_arrays();
// After every section: carriers are members, holders are buildings, and the
// items a building or member holds name it as their owner.
bool wld_check_references();

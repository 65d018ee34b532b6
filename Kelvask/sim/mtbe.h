// Event-rate tracks: the times of the last few events of one kind (deliveries
// at one bakery, refused harvests at one farm...), as rings of intervals and
// stamps, read back as a rate and a mean interval. A track is known by its
// index, which stays valid across save and load.
//
// Id -1 means "no track" (the table was full when it was asked for): every
// operation on it does nothing and reads 0. Any other id outside the table is
// a broken invariant.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXTRACKS 1024
#define MTBE_MAXSIZE 4096  // slots of the largest track a save may ask for

extern int32_t mtbe_numtracks;
extern int32_t mtbe_size[MAXTRACKS];  // slots per ring; size - 1 events fit
extern float* mtbe_ival[MAXTRACKS];   // intervals from the previous event
extern float* mtbe_stmp[MAXTRACKS];   // time of each stored event
extern int32_t mtbe_head[MAXTRACKS];  // next slot to write
extern int32_t mtbe_tail[MAXTRACKS];  // oldest stored slot
extern float mtbe_sum[MAXTRACKS];     // sum of the stored intervals
extern float mtbe_last[MAXTRACKS];    // time of the last event, or of creation

// The next track's index, or -1 (logged) when the table is full or size is
// not 2..MTBE_MAXSIZE.
int mtbe_create(int size, float now);
// Records an event and returns the mean of the stored intervals.
float mtbe_add_event(int i, float now);
int mtbe_count(int i);
// Stored events per second since the oldest of them; 0 without events.
float mtbe_rate(int i, float now);
// Mean interval counting the time since the last event as one more.
float mtbe_mean(int i, float now);
// Every track freed, none made, and one line saying how many there were.
// A restart, the controller's end and a load start from here.
void mtbe_clear();
// out != 0 writes the table's sizes to the text stream; else reads them and
// makes every track again, empty, at now. A bad section changes nothing and
// returns false.
bool mtbe_serialize(int out, FILE* f, float now);

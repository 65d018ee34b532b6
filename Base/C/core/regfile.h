// Opening files that must be plain files: a FIFO, device or folder under a
// game file's name would otherwise block the game in fopen or fail later in
// odd ways. Nothing here logs; callers say what the file was for.
#pragma once
#include <cstdio>

// Refused names kept aside per file before giving up.
#define REGFILE_MAXASIDE 10000

// A folder the game keeps its files in has at most 255 characters; any path
// formed from it ('/' and a name of at most 255 characters) fits in
// REGFILE_PATH_SZ, so no name the game gives a file is ever cut.
#define REGFILE_FOLDER_SZ 256
#define REGFILE_PATH_SZ 512

// Whether a symbolic link under the name is followed to its target or taken
// as what it is: never a regular file. Writing never follows, so a planted
// link cannot make the game cut, fill or create a file elsewhere.
enum regfile_links { REGFILE_FOLLOW, REGFILE_NOFOLLOW };

// fopen for "r", "rb", "w", "wb" or "a" that never blocks and refuses
// anything but a regular file; for writing, a missing file is created and a
// link is refused whatever links says ("a" keeps what the file holds).
// nullptr on failure, with the reason for regfile_reason.
FILE* regfile_open(const char* path, const char* mode, regfile_links links = REGFILE_FOLLOW);
// Why the last regfile_open failed: "not a regular file", "a symbolic link"
// or the system's text.
const char* regfile_reason();
// True when something exists at path that is not a regular file (a folder,
// a FIFO, a device, a socket, and without following a link, the link).
bool regfile_is_other(const char* path, regfile_links links = REGFILE_FOLLOW);
// out := "<path>.<tag>-<n>"; false when that does not fit in size or the name
// is taken (by anything, a dangling link too).
bool regfile_aside_name(const char* path, const char* tag, int n, char* out, int size);
// Renames path to the first free "<path>.<tag>-N", N from 1, so that nothing
// kept aside earlier is overwritten; the new name in out. False when no name
// is free or the rename fails (errno says why).
bool regfile_move_aside(const char* path, const char* tag, char* out, int size);
// Makes renames and removals in the folder durable; best effort, as not every
// file system can sync a folder.
void regfile_sync_folder(const char* folder);
// The same for the folder that holds path.
void regfile_sync_folder_of(const char* path);

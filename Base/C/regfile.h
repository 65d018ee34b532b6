// Opening files that must be plain files: a FIFO, device or folder under a
// game file's name would otherwise block the game in fopen or fail later in
// odd ways. Nothing here logs; callers say what the file was for.
#pragma once
#include <cstdio>

// fopen for "r", "rb", "w" or "wb" that never blocks and refuses anything but
// a regular file (for writing, a missing file is created). nullptr on
// failure, with the reason for regfile_reason.
FILE* regfile_open(const char* path, const char* mode);
// Why the last regfile_open failed: "not a regular file" or the system's text.
const char* regfile_reason();
// True when something exists at path that is not a regular file (a folder,
// a FIFO, a device, a socket); symbolic links are followed.
bool regfile_is_other(const char* path);
// Makes renames and removals in the folder durable; best effort, as not every
// file system can sync a folder.
void regfile_sync_folder(const char* folder);

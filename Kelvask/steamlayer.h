// Our own stand-in for the Steam client on Linux desktops: the user and the
// per-user data folder. Stats, achievements and leaderboards will join as
// further steamlayer_* calls whose results arrive in steamlayer_run_callbacks.
#pragma once

// Connects to the platform; false when there is none to talk to.
bool steamlayer_init();
// Whether a user is logged on (the login account of this process).
bool steamlayer_user();
// The game's per-user data folder, created when missing, without a trailing
// separator; false when it cannot be had or does not fit in size bytes.
bool steamlayer_user_data_folder(char* out, int size);
// Delivers pending asynchronous results once per frame on the main thread.
void steamlayer_run_callbacks();
void steamlayer_shutdown();

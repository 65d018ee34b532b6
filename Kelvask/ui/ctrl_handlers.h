// The controller's command handlers, each taking the message text.
#pragma once

void onAspect(const char* text);
void onPause(const char* text);
void onStart(const char* text);
void onPlay(const char* text);
void onRestart(const char* text);
void onResume(const char* text);
void onMovecoi(const char* text);
void onCamclimb(const char* text);
void onTogglehud(const char* text);
void onBuildmode(const char* text);
void onPlacebuilding(const char* text);
void onFarm(const char* text);
void onBakery(const char* text);
void onHut(const char* text);
void onTaxcollector(const char* text);
void onShowgoal(const char* text);
void onGobutton(const char* text);
void onHire(const char* text);
void onInfobutton(const char* text);
void onDismisstoast(const char* text);
void onTranscribesetting(const char* text);
void onSerialize(const char* text);
void onAreaselect(const char* text);
void onGuide(const char* text);

// Tears the running world down (a restart, or the controller's end).
void ctrl_teardown_world();
// Play goes on: the HUD and the world back, the hire panel and its go button gone.
void ctrl_close_hire_panel();
// Whether the world view is shown: the handlers that act on the world act only then.
bool ctrl_playing();
// The camera's target PID starts over, gains kept.
void ctrl_restart_pid(struct pid_state* pid);

// The sound engine, as far as the shell starts and stops it.
#pragma once

void sengine_exit();
void sengine_on_playfx(const char* text);
void sengine_on_musicsetting(const char* text);

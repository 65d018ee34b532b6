// Integer settings, one small file per key in the user data folder.
#pragma once

void kv_set(const char* key, int value);
int kv_get(const char* key, int dflt);

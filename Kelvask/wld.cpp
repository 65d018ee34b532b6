#include "wld.h"

int wld_selected = -1;
int wld_selectedcat = -1;

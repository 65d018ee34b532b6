#include "wld.h"

uint8_t wld_height[GRIDCELLS];
uint8_t wld_cellflags[GRIDCELLS];
float basecostw[GRIDCELLS];
float basecoste[GRIDCELLS];
float basecostn[GRIDCELLS];
float basecosts[GRIDCELLS];
float wld_goalweight[GRIDCELLS];
uint8_t wld_catflags[GRIDCELLS];
float wld_catweight[GRIDCELLS];
float wld_potential[GROUPCNT][POTENTIALSZ];
float wld_flow[GROUPCNT][3][GRIDCELLS];

int wld_selected = -1;
int wld_selectedcat = -1;

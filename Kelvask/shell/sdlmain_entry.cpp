#include <SDL2/SDL.h>

#include "sdlmain.h"

int main(int argc, char** argv) { return sdlmain_main(argc, argv); }

// The game controller: the one object the shell drives (create, update,
// draw, pick, back, destroy), its command handlers on the bus, building
// placement, and the end of the game.
#pragma once
#include <cstdint>

extern int32_t ctrl_pressstate;  // 0 none, 1 pressed, 2 dragging; the shell resets it

enum {
  CTRL_MODE_NONE = 0,
  CTRL_MODE_FARM = 1,
  CTRL_MODE_BAKERY = 2,
  CTRL_MODE_HUT = 3,
  CTRL_MODE_TAXC = 4,
  CTRL_MODE_MARKS = 5,
};

extern float ctrl_screenw, ctrl_screenh;  // drawable pixels
extern float ctrl_csf;                    // content scale
extern bool ctrl_firsttime;               // the one-time resources are still to be made
extern float ctrl_coi[2];                 // centre of interest, cells
extern int32_t ctrl_coiheight;            // height byte under the centre
extern float ctrl_climb;                  // the camera's extra height
extern int32_t ctrl_cursor[2];            // cell under the pointer, -1 none
extern int32_t ctrl_canplace;             // placement verdict at the cursor
extern int32_t ctrl_pointer[2];           // pointer, whole pixels
extern float ctrl_skyangle;               // radians 0..2 pi
extern int32_t ctrl_warned;               // the final warning was shown this game
extern int32_t ctrl_buildmode;            // CTRL_MODE_*
extern int32_t ctrl_anchor[2];            // first corner of the build-mark area, -1 none
extern bool ctrl_hudhidden;
extern int32_t ctrl_showgoal;    // potential field shown, negative none
extern int32_t ctrl_transcribe;  // "settings_transcribe"
extern bool ctrl_viewstale;      // the draw must invert the camera matrix again
// The drawing camera of the last frame: identity, view, projection, light
// view, light projection.
extern float ctrl_drawcam[5][16];
extern float ctrl_fps;
// The twelve shader programs' names, indexed by shaders_id; 0 when not loaded.
extern uint32_t ctrl_programs[];
extern float ctrl_tipwidth;  // the last tooltip's text width

// The shell hands over its drawable width, height and content scale.
void ctrl_create(int32_t width, int32_t height, float csf);
// The camera's field of view, follow gains and zoom range, once per process.
void ctrl_init_camera();
void ctrl_update(int32_t steps, double dt);
void ctrl_draw(float dt, float elapsed);
void ctrl_pick(float depth);
// The toast a game ends with: won when wld_completed is set, else lost.
void ctrl_show_end_toast();
// Closes whatever is open; false when nothing was.
bool ctrl_back();
// A button went up: the press is over and a picked worker or cat is let go.
void ctrl_release();
void ctrl_destroy();
// The controller's state as a fresh process has it, for after ctrl_destroy
// (which deletes the programs), ctrl_firsttime set again: whoever resets the
// one-time resources it stands for (handlers, pool, models) resets it too.
void ctrl_reset();

// Registers or removes the 23 command handlers.
void ctrl_listen();
void ctrl_unlisten();
// The views' shown flags of the menu screen right after creation.
void ctrl_show_menu_screen();

// Build mode's price in silver (-1 for no mode) and the reserves the first
// farm field and bakery keep back.
int32_t ctrl_build_cost(int32_t mode);
int32_t ctrl_farm_reserve();
int32_t ctrl_bakery_reserve();
// Rings of cells around the footprint that must hold no goal cells.
int ctrl_place_ring(int32_t mode);
// The placement test for the running build mode at the cursor: false when
// the cursor is off the grid.
bool ctrl_test_cursor();
// Screen point (pixels, y up) and depth (0..1) to the ground point, through
// the inverse of projection x view; false when the window has no size or the
// point does not come out finite.
bool ctrl_unproject(const float* view, const float* proj, float sx, float sy, float depth,
                    float width, float height, float out[2]);
// Whether the driver's extensions offer the debug output that the callback
// registration needs, and the entry point for it resolved.
bool ctrl_debug_output_usable(const char* const* extensions, int count, const void* entry);

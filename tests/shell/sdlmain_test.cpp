#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "ctrl.h"
#include "fresh_shell.h"
#include "notify.h"
#include "sdlmain.h"
#include "view.h"
#include "wld.h"
#include "wld_state.h"

namespace {

TEST(SdlmainSteps, ThresholdsSitHalfwayBetweenWholeSteps) {
  EXPECT_EQ(sdlmain_step_count(0.0), 1);
  EXPECT_EQ(sdlmain_step_count(0.00625), 1);
  EXPECT_EQ(sdlmain_step_count(std::nextafter(0.00625, 1.0)), 2);
  for (int k = 1; k <= 7; k++) {
    const double edge = (k + 0.5) / 240.0;
    EXPECT_EQ(sdlmain_step_count(edge), k) << "k=" << k;
    EXPECT_EQ(sdlmain_step_count(std::nextafter(edge, 1.0)), k + 1) << "k=" << k;
  }
  EXPECT_EQ(sdlmain_step_count(0.03125), 7);
  EXPECT_EQ(sdlmain_step_count(0.0313), 8);
  EXPECT_EQ(sdlmain_step_count(5.0), 8);
}

TEST(SdlmainSteps, ElapsedSurvivesTickCounterWrap) {
  EXPECT_DOUBLE_EQ(sdlmain_elapsed(1500, 1000), 0.5);
  EXPECT_DOUBLE_EQ(sdlmain_elapsed(1000, 1000), 0.0);
  EXPECT_DOUBLE_EQ(sdlmain_elapsed(5, 0xFFFFFFF0u), 0.021);
  EXPECT_EQ(sdlmain_step_count(sdlmain_elapsed(2, 0xFFFFFFFEu)), 1);
}

TEST(SdlmainPointer, FlipsYAndScalesToDrawable) {
  sdlmain_point p = sdlmain_to_drawable(0, 0, 720, 1.0f);
  EXPECT_FLOAT_EQ(p.x, 0.0f);
  EXPECT_FLOAT_EQ(p.y, 719.0f);
  p = sdlmain_to_drawable(100, 719, 720, 1.0f);
  EXPECT_FLOAT_EQ(p.x, 100.0f);
  EXPECT_FLOAT_EQ(p.y, 0.0f);
  p = sdlmain_to_drawable(100, 10, 360, 2.0f);
  EXPECT_FLOAT_EQ(p.x, 200.0f);
  EXPECT_FLOAT_EQ(p.y, 698.0f);
}

struct SdlmainOptions : ::testing::Test {
  void SetUp() override { fresh_shell(); }
  void TearDown() override { fresh_shell(); }
  void read(std::vector<const char*> args) {
    args.insert(args.begin(), "tavorek");
    sdlmain_read_options((int)args.size(), const_cast<char**>(args.data()));
  }
};

TEST_F(SdlmainOptions, NoArgumentsKeepDefaults) {
  read({});
  EXPECT_EQ(sdlmain_headless, 0);
  EXPECT_EQ(sdlmain_msaa, 1);
  EXPECT_EQ(sdlmain_swapinterval, 1);
  EXPECT_EQ(sdlmain_resetstats, 0);
  EXPECT_EQ(sdlmain_cheat, 0);
}

TEST_F(SdlmainOptions, EveryOptionIsRead) {
  read({"headless=1", "msaa=0", "swapinterval=-1", "resetstats=3", "cheat=1"});
  EXPECT_EQ(sdlmain_headless, 1);
  EXPECT_EQ(sdlmain_msaa, 0);
  EXPECT_EQ(sdlmain_swapinterval, -1);
  EXPECT_EQ(sdlmain_resetstats, 3);
  EXPECT_EQ(sdlmain_cheat, 1);
}

TEST_F(SdlmainOptions, MalformedAndUnknownArguments) {
  read({"msaa", "swapinterval", "headless", "fullscreen=0"});
  EXPECT_EQ(sdlmain_msaa, 1);
  EXPECT_EQ(sdlmain_swapinterval, 1);
  EXPECT_EQ(sdlmain_headless, 0);
  read({"msaa=x", "swapinterval=2fast", "cheat=99999999999"});
  EXPECT_EQ(sdlmain_msaa, 0);
  EXPECT_EQ(sdlmain_swapinterval, 2);
  EXPECT_EQ(sdlmain_cheat, INT32_MAX);
}

TEST_F(SdlmainOptions, LaterArgumentWinsAndProgramNameIsSkipped) {
  const char* args[] = {"msaa=0", "msaa=0", "msaa=3"};
  sdlmain_read_options(3, const_cast<char**>(args));
  EXPECT_EQ(sdlmain_msaa, 3);
  sdlmain_read_options(2, const_cast<char**>(args));
  EXPECT_EQ(sdlmain_msaa, 0);
}

TEST(SdlmainChecks, FeatureLineMarksPresentFeatures) {
  char line[32];
  sdlmain_feature_line(true, false, false, line);
  EXPECT_STREQ(line, "AVX[x] AVX2[ ] AVX512[ ]");
  sdlmain_feature_line(true, true, true, line);
  EXPECT_STREQ(line, "AVX[x] AVX2[x] AVX512[x]");
  sdlmain_feature_line(false, false, true, line);
  EXPECT_STREQ(line, "AVX[ ] AVX2[ ] AVX512[x]");
}

TEST(SdlmainChecks, CpuCheckLogsVendorAndFeaturesAndReturnsWithAvx) {
  if (!__builtin_cpu_supports("avx")) GTEST_SKIP() << "the check would end the process";
  testing::internal::CaptureStdout();
  sdlmain_check_cpu();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(testing::internal::RE::PartialMatch(out, "^CPU Vendor ............\n")) << out;
  char line[32];
  sdlmain_feature_line(true, __builtin_cpu_supports("avx2"), __builtin_cpu_supports("avx512f"),
                       line);
  EXPECT_NE(out.find(std::string(line) + "\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("Aborting"), std::string::npos);
}

TEST(SdlmainChecks, AssertTextHasThreeLinesAndIsCut) {
  char text[512];
  sdlmain_assert_text("window", "sdlmain", 547, text);
  EXPECT_STREQ(text, "Assertion failed:\nwindow\nsdlmain(547)");
  const std::string longexpr(600, 'e');
  sdlmain_assert_text(longexpr.c_str(), "f", 1, text);
  EXPECT_EQ(strlen(text), 511u);
}

// Routing runs on a real window under the offscreen video driver.
std::vector<std::string> posted;
void record(const char* text) { posted.push_back(text); }
const char* words[] = {"movecoi", "cameraControl", "aspect"};

struct SdlmainRouting : ::testing::Test {
  static void SetUpTestSuite() {
    sdlmain_headless = 1;
    ASSERT_TRUE(sdlmain_open_window());
  }
  static void TearDownTestSuite() {
    SDL_GL_DeleteContext(sdlmain_context);
    SDL_DestroyWindow(sdlmain_window);
    SDL_Quit();
  }
  void SetUp() override {
    fresh_ui();  // the window stays: the suite made it
    for (const char* w : words) notify_listen(w, record);
    posted.clear();
    // The size in force is the window's: a frame takes up any other.
    SDL_SetWindowSize(sdlmain_window, 1280, 720);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    sdlmain_width = 1280;
    sdlmain_height = 720;
    csf = 1.0f;
    sdlmain_quit = false;
    view_layout(sdlmain_width, sdlmain_height);
    view_shown[SDLMAIN_WORLD_VIEW] = 1;
  }
  void TearDown() override { fresh_ui(); }
  static SDL_Event button(Uint8 b, bool down, int x = 10, int y = 20) {
    SDL_Event ev{};
    ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    ev.button.button = b;
    ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.button.x = x;
    ev.button.y = y;
    return ev;
  }
  static SDL_Event motion(int xrel, int yrel) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEMOTION;
    ev.motion.x = 300;
    ev.motion.y = 200;
    ev.motion.xrel = xrel;
    ev.motion.yrel = yrel;
    return ev;
  }
  static SDL_Event key(SDL_Keycode code, bool down, Uint16 mod = 0) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = code;
    ev.key.keysym.mod = mod;
    return ev;
  }
  static void route(SDL_Event ev) { sdlmain_route(&ev); }
};

TEST_F(SdlmainRouting, LeftDragOnWorldMovesCentreOfInterest) {
  route(button(SDL_BUTTON_LEFT, true, 10, 20));
  EXPECT_EQ(sdlmain_held[0], 1);
  EXPECT_EQ(sdlmain_buttons, SDLMAIN_BIT_LEFT);
  EXPECT_FLOAT_EQ(sdlmain_pointer.x, 10.0f);
  EXPECT_FLOAT_EQ(sdlmain_pointer.y, 699.0f);
  route(motion(36, -72));
  EXPECT_FLOAT_EQ(sdlmain_pointer.y, 519.0f);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0], "movecoi dx=0.050000 dy=-0.100000");
  route(button(SDL_BUTTON_LEFT, false));
  EXPECT_EQ(sdlmain_held[0], 0);
  EXPECT_EQ(sdlmain_released, 1);
  EXPECT_FALSE(SDL_GetRelativeMouseMode());
  route(motion(36, -72));
  EXPECT_EQ(posted.size(), 1u);
}

TEST_F(SdlmainRouting, RightDragOrbitsThenStopsCentre) {
  route(button(SDL_BUTTON_RIGHT, true));
  EXPECT_EQ(sdlmain_held[2], 1);
  EXPECT_EQ(sdlmain_buttons, SDLMAIN_BIT_RIGHT);
  route(motion(72, 36));
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0], "cameraControl elevationDelta=0.150000 orbitDelta=-0.300000");
  EXPECT_EQ(posted[1], "movecoi dx=0 dy=0");
}

TEST_F(SdlmainRouting, MiddleDragZoomIsClamped) {
  route(button(SDL_BUTTON_MIDDLE, true));
  EXPECT_EQ(sdlmain_buttons, SDLMAIN_BIT_MIDDLE);
  route(motion(0, 72));
  route(motion(0, 7200));
  route(motion(0, -7200));
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0], "cameraControl distScale=1.100000");
  EXPECT_EQ(posted[1], "cameraControl distScale=4.000000");
  EXPECT_EQ(posted[2], "cameraControl distScale=0.100000");
}

TEST_F(SdlmainRouting, SeveralHeldButtonsEachAct) {
  route(button(SDL_BUTTON_LEFT, true));
  route(button(SDL_BUTTON_RIGHT, true));
  EXPECT_EQ(sdlmain_buttons, SDLMAIN_BIT_LEFT | SDLMAIN_BIT_RIGHT);
  route(motion(0, 72));
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0], "movecoi dx=0.000000 dy=0.100000");
  EXPECT_EQ(posted[1], "cameraControl elevationDelta=0.300000 orbitDelta=-0.000000");
  EXPECT_EQ(posted[2], "movecoi dx=0 dy=0");
  route(button(SDL_BUTTON_LEFT, false));
  EXPECT_EQ(sdlmain_held[2], 1);
}

TEST_F(SdlmainRouting, PressOffTheWorldHoldsNothingButReleaseClearsPointers) {
  view_shown[SDLMAIN_WORLD_VIEW] = 0;
  route(button(SDL_BUTTON_LEFT, true));
  EXPECT_EQ(sdlmain_held[0], 0);
  EXPECT_EQ(sdlmain_buttons, 0);
  route(motion(36, 36));
  EXPECT_TRUE(posted.empty());
  EXPECT_FALSE(SDL_GetRelativeMouseMode());
  view_ptr[5].id = SDLMAIN_PTR_LEFT;
  view_ptr[9].id = SDLMAIN_PTR_LEFT;
  view_ptr[7].id = SDLMAIN_PTR_RIGHT;
  route(button(SDL_BUTTON_LEFT, false));
  EXPECT_EQ(view_find_pointer(SDLMAIN_PTR_LEFT), -1);
  EXPECT_EQ(view_ptr[7].id, SDLMAIN_PTR_RIGHT);
  EXPECT_EQ(sdlmain_released, 1);
  view_ptr[7].id = -1;
}

// Extra buttons are no pointers: clicked under a held left button they end
// nothing and place nothing; the left button's own release still places.
TEST_F(SdlmainRouting, ExtraButtonsLeaveTheLeftPressAlone) {
  notify_listen("placebuilding", record);
  route(button(SDL_BUTTON_LEFT, true));
  for (Uint8 b : {(Uint8)SDL_BUTTON_X1, (Uint8)SDL_BUTTON_X2, (Uint8)8}) {
    route(button(b, true));
    route(button(b, false));
  }
  EXPECT_TRUE(posted.empty());
  EXPECT_EQ(sdlmain_released, 0);
  EXPECT_EQ(sdlmain_held[0], 1);
  EXPECT_EQ(view_find_pointer(SDLMAIN_PTR_LEFT), SDLMAIN_WORLD_VIEW);
  route(button(SDL_BUTTON_LEFT, false));
  EXPECT_EQ(posted, std::vector<std::string>{"placebuilding"});
  notify_unlisten("placebuilding", record);
}

TEST_F(SdlmainRouting, WheelZoomsOnlyOverShownWorld) {
  SDL_Event ev{};
  ev.type = SDL_MOUSEWHEEL;
  ev.wheel.y = 1;
  route(ev);
  ev.wheel.y = -2;
  route(ev);
  view_shown[SDLMAIN_WORLD_VIEW] = 0;
  route(ev);
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0], "cameraControl distScale=0.950000");
  EXPECT_EQ(posted[1], "cameraControl distScale=1.100000");
}

// The size in force follows the window's own, whatever numbers SDL's two size
// events carry, and once a frame when SDL reports nothing; other window events
// leave it alone.
TEST_F(SdlmainRouting, SizeFollowsTheWindowOnSizeEventsAndEveryFrame) {
  const struct {
    Uint8 event;  // 0: no event, a frame of the loop
    int w, h;
    const char* aspect;  // null: the size in force stays
  } rows[] = {
      {SDL_WINDOWEVENT_RESIZED, 800, 600,
       "aspect ratio=1.333333 width=800 height=600 csf=1.000000"},
      {SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480,
       "aspect ratio=1.333333 width=640 height=480 csf=1.000000"},
      {0, 1024, 512, "aspect ratio=2.000000 width=1024 height=512 csf=1.000000"},
      {SDL_WINDOWEVENT_MOVED, 900, 500, nullptr},
  };
  for (const auto& r : rows) {
    SDL_SetWindowSize(sdlmain_window, r.w, r.h);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    posted.clear();
    const int32_t w = sdlmain_width, h = sdlmain_height;
    SDL_Event ev{};
    ev.type = r.event ? SDL_WINDOWEVENT : SDL_QUIT;
    ev.window.event = r.event;
    ev.window.data1 = 1920;  // SDL's idea, not the window's size
    ev.window.data2 = 1080;
    if (r.event) {
      route(ev);
    } else {
      SDL_PushEvent(&ev);
      sdlmain_loop();
    }
    if (!r.aspect) {
      EXPECT_EQ(sdlmain_width, w);
      EXPECT_EQ(sdlmain_height, h);
      EXPECT_TRUE(posted.empty()) << posted[0];
      continue;
    }
    EXPECT_EQ(sdlmain_width, r.w) << r.aspect;
    EXPECT_EQ(sdlmain_height, r.h) << r.aspect;
    EXPECT_FLOAT_EQ(csf, 1.0f);
    EXPECT_EQ(posted, std::vector<std::string>{r.aspect});
  }
}

TEST_F(SdlmainRouting, EscapeAndControllerBackQuitWhenNothingIsOpen) {
  view_shown[SDLMAIN_WORLD_VIEW] = 0;  // the menu: nothing left to close
  route(key(SDLK_ESCAPE, false));
  EXPECT_FALSE(sdlmain_quit);
  route(key(SDLK_ESCAPE, true));
  EXPECT_TRUE(sdlmain_quit);

  sdlmain_quit = false;
  SDL_Event ev{};
  ev.type = SDL_CONTROLLERBUTTONDOWN;
  ev.cbutton.button = SDL_CONTROLLER_BUTTON_A;
  ev.cbutton.state = SDL_PRESSED;
  route(ev);
  EXPECT_FALSE(sdlmain_quit);
  ev.cbutton.button = SDL_CONTROLLER_BUTTON_BACK;
  ev.type = SDL_CONTROLLERBUTTONUP;
  ev.cbutton.state = SDL_RELEASED;
  route(ev);
  EXPECT_FALSE(sdlmain_quit);
  ev.type = SDL_CONTROLLERBUTTONDOWN;
  ev.cbutton.state = SDL_PRESSED;
  route(ev);
  EXPECT_TRUE(sdlmain_quit);
}

TEST_F(SdlmainRouting, AltReturnTogglesFullscreenOnPressOnly) {
  const Uint32 start = SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
  route(key(SDLK_RETURN, false, KMOD_LALT));
  EXPECT_EQ(SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP, start);
  route(key(SDLK_RETURN, true, KMOD_RALT));
  EXPECT_NE(SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP, start);
  route(key(SDLK_RETURN, true, KMOD_LALT));
  EXPECT_EQ(SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP, start);
  route(key(SDLK_RETURN, true));
  EXPECT_EQ(SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP, start);
  EXPECT_FALSE(sdlmain_quit);
}

TEST_F(SdlmainRouting, LoopRoutesQueuedEventsRunsAFrameAndEndsOnQuit) {
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_Event ev{};
  ev.type = SDL_MOUSEWHEEL;
  ev.wheel.y = 1;
  SDL_PushEvent(&ev);
  SDL_Event press = button(SDL_BUTTON_LEFT, true), release = button(SDL_BUTTON_LEFT, false);
  SDL_PushEvent(&press);
  SDL_PushEvent(&release);
  ev = SDL_Event{};
  ev.type = SDL_QUIT;
  SDL_PushEvent(&ev);
  SDL_Event after = key(SDLK_a, true);  // taken after the quit, in the same drain
  SDL_PushEvent(&after);
  wld_selected = 5;
  wld_selectedcat = -1;
  ctrl_pressstate = 2;
  sdlmain_loop();
  // The frame after the drain pans for the held 'a' key.
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0], "cameraControl distScale=0.950000");
  EXPECT_EQ(posted[1].rfind("movecoi dx=0.0", 0), 0u) << posted[1];
  view_panx = 0.0f;
  view_panvx = 0.0f;
  EXPECT_EQ(wld_selected, -1);
  EXPECT_EQ(ctrl_pressstate, 0);
  EXPECT_EQ(sdlmain_buttons, 0);
  EXPECT_EQ(sdlmain_released, 0);
}

TEST_F(SdlmainRouting, LoopEndsOnEscape) {
  // The first Escape pauses to the menu, the second finds nothing to close.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_Event ev = key(SDLK_ESCAPE, true);
  SDL_PushEvent(&ev);
  SDL_PushEvent(&ev);
  sdlmain_loop();
  EXPECT_TRUE(sdlmain_quit);
  EXPECT_EQ(view_shown[SDLMAIN_WORLD_VIEW], 0);
  EXPECT_EQ(view_shown[1], 1);
}

// Without "msaa=" and "swapinterval=" the defaults hold; with 0 both are off.
struct SdlmainWindow : ::testing::Test {
  void SetUp() override { fresh_shell(); }
  void TearDown() override {
    SDL_GL_DeleteContext(sdlmain_context);
    SDL_DestroyWindow(sdlmain_window);
    SDL_Quit();
    fresh_shell();
  }
};

TEST_F(SdlmainWindow, DefaultsRequestMultisamplingVsyncAndFullscreen) {
  ASSERT_TRUE(sdlmain_open_window());
  int samples = 0;
  glGetIntegerv(GL_SAMPLES, &samples);
  EXPECT_EQ(samples, 4);
  EXPECT_EQ(SDL_GL_GetSwapInterval(), 1);
  EXPECT_TRUE(SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP);
}

TEST_F(SdlmainWindow, ZeroOptionsTurnThemOffAndHeadlessStaysWindowed) {
  sdlmain_msaa = 0;
  sdlmain_swapinterval = 0;
  sdlmain_headless = 1;
  ASSERT_TRUE(sdlmain_open_window());
  int samples = -1;
  glGetIntegerv(GL_SAMPLES, &samples);
  EXPECT_EQ(samples, 0);
  EXPECT_EQ(SDL_GL_GetSwapInterval(), 0);
  EXPECT_FALSE(SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP);
}

}  // namespace

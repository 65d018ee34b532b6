// A hidden window with a GL 3.2 core context for the tests that need the
// graphics device (Mesa's offscreen driver under ctest), and reading back
// what was drawn.
#pragma once
#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct GlTest : ::testing::Test {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  static const int W = 64, H = 64;

  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window = SDL_CreateWindow("gl test", 0, 0, W, H, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    context = SDL_GL_CreateContext(window);
    ASSERT_NE(context, nullptr) << SDL_GetError();
    ASSERT_GE(epoxy_gl_version(), 32);
    glViewport(0, 0, W, H);
  }
  void TearDown() override {
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
  }
  // RGBA pixel at x, y (origin bottom-left) of the back buffer.
  std::vector<uint8_t> pixel(int x, int y) {
    std::vector<uint8_t> p(4);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
  }
  // Pixels of the back buffer whose red, green, blue differ from rgb.
  int drawn(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> p(W * H * 4);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    int n = 0;
    for (int i = 0; i < W * H; i++) n += !(p[4 * i] == r && p[4 * i + 1] == g && p[4 * i + 2] == b);
    return n;
  }
};

inline GLint gl_buffer_size(GLuint vbo) {
  GLint size = 0;
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return size;
}

// The log lines written while f runs.
template <class F>
std::string gl_logged(F f) {
  testing::internal::CaptureStdout();
  f();
  return testing::internal::GetCapturedStdout();
}

inline int gl_count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
  return n;
}

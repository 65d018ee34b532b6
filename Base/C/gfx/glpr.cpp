#include "glpr.h"

#include <epoxy/gl.h>

#include <cstdlib>
#include <cstring>

#include "log.h"

glpr_slot glpr_uniforms[MAXUNIFORMS];
int32_t glpr_numu;

// The slots of the program in use: [glpr_first, glpr_end).
static int32_t glpr_first;
static int32_t glpr_end;

struct glpr_attribute {
  const char* word;
  GLuint number;
};

static const glpr_attribute glpr_attributes[] = {
    {"position", 0}, {"surfacenormal", 1}, {"rgb", 2},           {"uv", 2},      {"trf", 3},
    {"limb", 7},     {"uvoff", 7},         {"positiondrift", 5}, {"ssdelta", 4}, {"timeoffset", 3},
};

// The driver's log as one line: its line breaks become blanks.
static void glpr_one_line(char* text) {
  size_t n = strlen(text);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == ' ')) text[--n] = 0;
  for (char* c = text; *c; c++)
    if (*c == '\n' || *c == '\r') *c = ' ';
}

// Reads an info log into buf (size bytes) through the getter for shaders or programs.
static void glpr_read_log(GLuint object, char* buf, GLsizei size,
                          void (*getlog)(GLuint, GLsizei, GLsizei*, GLchar*)) {
  buf[0] = 0;
  getlog(object, size, nullptr, buf);
  buf[size - 1] = 0;
  glpr_one_line(buf);
}

static void shader_log(GLuint o, GLsizei n, GLsizei* l, GLchar* b) {
  glGetShaderInfoLog(o, n, l, b);
}
static void program_log(GLuint o, GLsizei n, GLsizei* l, GLchar* b) {
  glGetProgramInfoLog(o, n, l, b);
}

static char glpr_compile_message[4096];

bool glpr_compile_shader(uint32_t* shader, uint32_t type, const char* source) {
  glpr_compile_message[0] = 0;
  if (!source) return false;
  GLuint s = glCreateShader(type);
  glShaderSource(s, 1, &source, nullptr);
  glCompileShader(s);
  GLint status = 0, loglen = 0;
  glGetShaderiv(s, GL_COMPILE_STATUS, &status);
  glGetShaderiv(s, GL_INFO_LOG_LENGTH, &loglen);
  if (loglen > 1) glpr_read_log(s, glpr_compile_message, sizeof glpr_compile_message, shader_log);
  if (!status) {
    glDeleteShader(s);
    return false;
  }
  if (glpr_compile_message[0]) LOG("Shader compile log: %s", glpr_compile_message);
  *shader = s;
  return true;
}

static char glpr_link_message[2048];

bool glpr_link(uint32_t program) {
  glLinkProgram(program);
  GLint status = 0, loglen = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &status);
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &loglen);
  glpr_link_message[0] = 0;
  if (loglen > 1) glpr_read_log(program, glpr_link_message, sizeof glpr_link_message, program_log);
  if (status && glpr_link_message[0]) LOG("Program link log: %s", glpr_link_message);
  return status != 0;
}

bool glpr_validate(uint32_t program) {
  glValidateProgram(program);
  GLint status = 0, loglen = 0;
  glGetProgramiv(program, GL_VALIDATE_STATUS, &status);
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &loglen);
  if (loglen > 1) {
    char buf[2048];
    glpr_read_log(program, buf, sizeof buf, program_log);
    LOG("%sProgram validate log: %s", status ? "" : "ERR ", buf);
  }
  return status != 0;
}

// A word of the list binds when it stands whole: the character after it ends
// the word (end of text, comma, blank), so "uv" does not bind inside "uvoff".
static bool glpr_lists_word(const char* list, const char* word) {
  const char* at = strstr(list, word);
  return at && at[strlen(word)] < '-';
}

static void glpr_add_uniform_list(const char* list, uint32_t program) {
  const char* c = list;
  while (*c >= ' ') {
    const char* start = c;
    while (*c > ' ' && *c != ',') c++;
    if (c > start) {
      size_t n = c - start;
      char* name = (char*)malloc(n + 1);
      memcpy(name, start, n);
      name[n] = 0;
      glpr_add_uniform(name, program);
    }
    if (*c == 0) break;
    c++;
  }
}

bool glpr_load(const char* name, uint32_t* program, const char* vs, const char* fs,
               const char* attributes, const char* uniforms) {
  GLuint vsh = 0, fsh = 0;
  if (!glpr_compile_shader(&vsh, GL_VERTEX_SHADER, vs)) {
    LOG("ERR Failed to compile vertex shader %s: %s", name, glpr_compile_message);
    return false;
  }
  LOG("Compiled vertex shader %s", name);
  if (!glpr_compile_shader(&fsh, GL_FRAGMENT_SHADER, fs)) {
    LOG("ERR Failed to compile fragment shader %s: %s", name, glpr_compile_message);
    glDeleteShader(vsh);
    return false;
  }
  LOG("Compiled fragment shader %s", name);
  GLuint p = glCreateProgram();
  glAttachShader(p, vsh);
  glAttachShader(p, fsh);
  for (const glpr_attribute& a : glpr_attributes)
    if (glpr_lists_word(attributes, a.word)) glBindAttribLocation(p, a.number, a.word);
  const bool linked = glpr_link(p);
  glDeleteShader(vsh);
  glDeleteShader(fsh);
  if (!linked) {
    LOG("ERR Failed to link program %s: %s", name, glpr_link_message);
    glDeleteProgram(p);
    *program = 0;
    return false;
  }
  *program = p;
  glpr_add_uniform_list(uniforms, p);
  return true;
}

void glpr_reset() {
  memset(glpr_uniforms, 0, sizeof glpr_uniforms);
  glpr_numu = 0;
  glpr_first = glpr_end = 0;
  glpr_compile_message[0] = glpr_link_message[0] = 0;
}

int32_t glpr_add_uniform(const char* name, uint32_t program) {
  ASSERT(glpr_numu < MAXUNIFORMS);
  glpr_slot& s = glpr_uniforms[glpr_numu];
  s.name = name;
  s.program = program;
  s.location = glGetUniformLocation(program, name);
  if (s.location < 0)
    LOG("ERR Failed to get uniform location of '%s' for program nr %d", name, program);
  glpr_numu++;
  return s.location;
}

// GL may hand a deleted program's name to a new program, so the newest run
// of slots with this name is the one that belongs to it.
void glpr_use(uint32_t program) {
  glUseProgram(program);
  int32_t end = glpr_numu;
  while (end > 0 && glpr_uniforms[end - 1].program != program) end--;
  int32_t first = end;
  while (first > 0 && glpr_uniforms[first - 1].program == program) first--;
  glpr_first = end > 0 ? first : glpr_numu;
  glpr_end = end > 0 ? end : glpr_numu;
}

int32_t glpr_uniform(const char* name) {
  for (int32_t i = glpr_first; i < glpr_end; i++)
    if (strcmp(glpr_uniforms[i].name, name) == 0) return glpr_uniforms[i].location;
  LOG("ERR uniform '%s' not found.", name);
  return -1;
}

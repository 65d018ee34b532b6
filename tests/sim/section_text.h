// A module's saved-game text section in memory: written out, read back, and
// damaged on purpose.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

typedef bool (*section_serialize_fn)(int out, FILE* f);

inline std::string section_save(section_serialize_fn serialize) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  EXPECT_TRUE(serialize(1, f));
  fclose(f);
  std::string s(buf, len);
  free(buf);
  return s;
}

// A refused section must say why, and its log must begin with that "ERR "
// line.
inline bool section_load(section_serialize_fn serialize, const std::string& s) {
  FILE* f = fmemopen((void*)s.data(), s.size(), "r");
  testing::internal::CaptureStdout();
  bool ok = serialize(0, f);
  std::string log = testing::internal::GetCapturedStdout();
  fclose(f);
  if (!ok) {
    EXPECT_EQ(log.rfind("ERR ", 0), 0u) << log;
  }
  return ok;
}

// s with the first `from` replaced by `to`.
inline std::string section_replaced(std::string s, const std::string& from, const std::string& to) {
  size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? s : s.replace(at, from.size(), to);
}

// Every damaged text is refused and leaves the module's count at 0, so no
// half-read record is live; the good text still loads afterwards.
inline void section_expect_refused(section_serialize_fn serialize,
                                   const std::vector<std::string>& bad, int32_t* count,
                                   const std::string& good) {
  for (const std::string& s : bad) {
    *count = 2;
    EXPECT_FALSE(section_load(serialize, s)) << s;
    EXPECT_EQ(*count, 0);
  }
  EXPECT_FALSE(serialize(0, nullptr));
  EXPECT_TRUE(section_load(serialize, good));
}

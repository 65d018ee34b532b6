// Saving a text section into a string and loading it back from one, for the
// modules whose serialize takes only the text file.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

typedef bool (*text_section_fn)(int out, FILE* f);

inline std::string section_save(text_section_fn serialize) {
  FILE* f = tmpfile();
  EXPECT_TRUE(serialize(1, f));
  std::string s(ftell(f), '\0');
  rewind(f);
  EXPECT_EQ(fread(&s[0], 1, s.size(), f), s.size());
  fclose(f);
  return s;
}

inline bool section_load(text_section_fn serialize, const std::string& s) {
  FILE* f = tmpfile();
  fputs(s.c_str(), f);
  rewind(f);
  bool ok = serialize(0, f);
  fclose(f);
  return ok;
}

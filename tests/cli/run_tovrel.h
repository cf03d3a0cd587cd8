// Runs the built `tovrel` binary and captures what it prints.
#ifndef TOVREL_TESTS_CLI_RUN_TOVREL_H
#define TOVREL_TESTS_CLI_RUN_TOVREL_H

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tovrel::test {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

// A scratch folder of the test's own.
inline std::string ScratchDir() {
  char templ[] = "/tmp/tovrel-cli-XXXXXX";
  const char* dir = mkdtemp(templ);
  return dir ? dir : "/tmp";
}

inline CliRun RunTovrel(const std::vector<std::string>& args, const std::string& input = "") {
  static const std::string dir = ScratchDir();
  const std::string in = dir + "/stdin", out = dir + "/stdout", err = dir + "/stderr";
  WriteFile(in, input);
  std::string command = ShellQuote(TOVREL_BINARY);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  command += " <" + in + " >" + out + " 2>" + err;
  const int raw = std::system(command.c_str());
  CliRun run;
  run.exitCode = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  return run;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace tovrel::test

#endif

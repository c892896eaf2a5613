// The argument and environment arrays that exec and posix_spawn take, made
// from strings before a child is started: the arguments as given, and the
// current environment with the additions ("NAME=value") after it.
#pragma once

#include <string>
#include <vector>

extern char** environ;

namespace tavrel::testing {

class ExecArguments {
 public:
  ExecArguments(const std::vector<std::string>& argv, const std::vector<std::string>& additions)
      : m_argv(argv) {
    for (char** e = environ; *e != nullptr; ++e) m_environment.emplace_back(*e);
    m_environment.insert(m_environment.end(), additions.begin(), additions.end());
    for (auto& a : m_argv) m_args.push_back(a.data());
    m_args.push_back(nullptr);
    for (auto& e : m_environment) m_env.push_back(e.data());
    m_env.push_back(nullptr);
  }
  // The arrays point into the object's own strings.
  ExecArguments(const ExecArguments&) = delete;
  ExecArguments& operator=(const ExecArguments&) = delete;

  char* const* Args() const { return m_args.data(); }
  char* const* Env() const { return m_env.data(); }

 private:
  std::vector<std::string> m_argv;
  std::vector<std::string> m_environment;
  std::vector<char*> m_args;
  std::vector<char*> m_env;
};

}  // namespace tavrel::testing

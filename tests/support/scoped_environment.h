// Sets one environment variable for the length of a test, even when an
// assertion ends the test early.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace tavrel::testing {

class ScopedEnvironment {
 public:
  // `value` null: the variable is unset meanwhile.
  ScopedEnvironment(const char* name, const char* value) : m_name(name) {
    if (const char* saved = ::getenv(name)) m_saved = saved;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (m_saved) {
      ::setenv(m_name, m_saved->c_str(), 1);
    } else {
      ::unsetenv(m_name);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_saved;
};

}  // namespace tavrel::testing

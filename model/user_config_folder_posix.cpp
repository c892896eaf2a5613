#include <cstdlib>
#include <filesystem>

#include "model/user_config_folder.h"

namespace tavrel {

std::string UserConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  return (std::filesystem::path(home != nullptr ? home : "") / ".config").string();
}

}  // namespace tavrel

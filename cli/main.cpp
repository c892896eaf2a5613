#include <iostream>

#include "cli/tavrelctl.h"

int main(int argc, char** argv) {
  return tavrel::cli::Run(argc, argv, std::cout, std::cerr);
}

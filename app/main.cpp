#include "app/run_tavrel.h"

int main(int argc, char** argv) {
  return tavrel::RunTavrel(argc, argv);
}

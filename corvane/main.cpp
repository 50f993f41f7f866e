#include "corvane.h"

#include <iostream>

int main(int argc, char **argv) {
  std::ios::sync_with_stdio(false);
  return runCorvane(argc, argv);
}

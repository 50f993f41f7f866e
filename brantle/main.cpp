#include "brantle.h"

#include <iostream>

int main(int argc, char **argv) {
  std::ios::sync_with_stdio(false);
  return runBrantle(argc, argv);
}

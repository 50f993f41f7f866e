#include "siftel.h"

#include <iostream>

int main(int argc, char **argv) {
  std::ios::sync_with_stdio(false);
  return runSiftel(argc, argv);
}

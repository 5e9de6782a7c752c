// prevgen.exe: the preview renderer (tools/pictures/prevgen_run.h).
#include <iostream>
#include <string>
#include <vector>

#include "tools/pictures/prevgen_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return hf::RunPrevgen(arguments, std::cerr);
}

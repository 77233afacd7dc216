// vexa-dump FILE: lists a chart file's contents as text.
// vexa-dump --resave IN OUT: reads a chart file and writes it again.

#include <iostream>
#include <string>
#include <vector>

#include "tools/vexa-dump/VexaDump.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return vexa_dump::Run(args, std::cout, std::cerr);
}

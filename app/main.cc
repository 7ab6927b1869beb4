#include <iostream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "platform/posix_env.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return vorlintex::app::RunCli(args, vorlintex::NewPosixEnv, std::cout, std::cerr);
}

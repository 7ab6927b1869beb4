#include <iostream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "platform/native_env.h"

int main(int argc, char** argv) {
  vorlintex::UseBinaryStandardStreams();
  std::vector<std::string> args(argv + 1, argv + argc);
  return vorlintex::app::RunCli(args, vorlintex::NewNativeEnv, std::cout, std::cerr);
}

// tolvi-sim: runs a scenario script against the real core on a virtual
// clock. Usage: tolvi-sim --data-dir DIR SCRIPT (SCRIPT "-" reads standard
// input). The script language is described in docs/tolvi-sim.md.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "command_table.h"
#include "simulation.h"

namespace {

constexpr int kUsageError = 2;

int UsageError() {
  std::cerr << "usage: tolvi-sim --data-dir DIR SCRIPT   (SCRIPT - reads standard input)\n";
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  std::string data_dir;
  std::string script_path;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--data-dir" && i + 1 < argc) {
      data_dir = argv[++i];
    } else if (script_path.empty()) {
      script_path = argument;
    } else {
      return UsageError();
    }
  }
  if (data_dir.empty() || script_path.empty()) return UsageError();

  std::string script;
  if (script_path == "-") {
    script.assign(std::istreambuf_iterator<char>(std::cin), {});
  } else {
    std::ifstream in(script_path, std::ios::binary);
    if (!in) {
      std::cerr << "tolvi-sim: cannot read " << script_path << '\n';
      return kUsageError;
    }
    script.assign(std::istreambuf_iterator<char>(in), {});
  }

  std::ios::sync_with_stdio(false);
  tolvi::sim::Simulation simulation(data_dir, std::cout);
  const tolvi::sim::CommandTable table = tolvi::sim::StandardCommands();
  const int status = tolvi::sim::RunScript(script_path == "-" ? "<stdin>" : script_path, script,
                                           simulation, table, std::cerr);
  std::cout.flush();
  return status;
}

// Test helper: what starting the program needs on every platform.
#include "support/process.h"

#include "support/temp_dir.h"

namespace saldor::testing {

std::filesystem::path ProgramBinary() { return SALDOR_PROGRAM_BINARY; }

std::filesystem::path InstallProgram(const std::filesystem::path& folder,
                                     const std::string& connectionPrefix) {
  std::filesystem::create_directories(folder);
  std::filesystem::path copy = folder / ProgramBinary().filename();
  std::filesystem::copy_file(ProgramBinary(), copy,
                             std::filesystem::copy_options::overwrite_existing);
  WriteFile(folder / "config.txt", "\"SaldorAuto\",\"3.4\",\"" + connectionPrefix + "\"\r\n");
  return copy;
}

}  // namespace saldor::testing

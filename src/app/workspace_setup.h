// A working folder for a program started where there is none: the samples installed with the
// program are copied into a folder the user chooses, and the run continues there.
#pragma once

#include <filesystem>
#include <string>

#include "ui/toolkit.h"

namespace app {

// A working folder is one with the Dat/ folder that every file box opens in.
bool is_workspace(const std::filesystem::path& folder);

// The path of the running program, empty when the system does not tell it.
std::filesystem::path running_executable();

// The sample working folder that belongs to `executable`: PREFIX/share/brantel/workspace for a
// program installed in PREFIX/bin, or the repository's examples/workspace for a program run
// from a build folder at the repository's top. Empty when there is none.
std::filesystem::path find_sample_workspace(const std::filesystem::path& executable);

enum class MakeWorkspace {
  made,              // the samples were copied into the folder
  already_workspace, // the folder had its own Dat/: nothing was copied
  failed,            // see the problem text; files copied before the failure stay
};
struct MakeWorkspaceResult {
  MakeWorkspace outcome;
  std::string problem;
};

// Copies the samples into `target`, creating it when missing. A file of the same name already
// in `target` is kept as it is: a user's language setting or geometry file is never replaced.
MakeWorkspaceResult make_workspace(const std::filesystem::path& samples, const std::filesystem::path& target);

// When the current directory is no working folder and `samples` exist: asks whether to make one,
// lets the user choose its folder, makes it and moves the current directory there. Any other
// answer leaves the current directory as it was.
void offer_workspace(ui::Toolkit& toolkit, const std::filesystem::path& samples);

}  // namespace app

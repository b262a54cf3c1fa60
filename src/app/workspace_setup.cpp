#include "app/workspace_setup.h"

#include <algorithm>
#include <system_error>

#include "ui/platform.h"

namespace app {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view title = "BRANTEL: Working Folder";

std::string question(const fs::path& here) {
  return "There is no Dat folder in\n" + here.string() +
         "\nso this is no working folder: the file boxes would find no geometry file.\n\n"
         "Make a working folder from the samples installed with the program (a plane frame and "
         "a plane truss)?\n"
         "Yes: choose or create its folder; Dat/, uir/ and language.dat are copied into it and "
         "the program works there.\n"
         "No: stay in this folder.";
}

}  // namespace

bool is_workspace(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder / "Dat", ec);
}

fs::path running_executable() {
  std::error_code ec;
  fs::path path = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : path;
}

fs::path find_sample_workspace(const fs::path& executable) {
  if (executable.empty()) return {};
  const fs::path above = executable.parent_path().parent_path();
  for (const fs::path& candidate : {above / "share" / "brantel" / "workspace", above / "examples" / "workspace"})
    if (is_workspace(candidate)) return candidate;
  return {};
}

MakeWorkspaceResult make_workspace(const fs::path& samples, const fs::path& target) {
  if (is_workspace(target)) return {MakeWorkspace::already_workspace, {}};
  std::error_code ec;
  // A copy into a folder of its own source would copy itself without end.
  const fs::path from = fs::weakly_canonical(samples, ec), to = fs::weakly_canonical(target, ec);
  if (!from.empty() && std::mismatch(from.begin(), from.end(), to.begin(), to.end()).first == from.end())
    return {MakeWorkspace::failed, "Cannot make the working folder " + target.string() + " inside the samples"};
  fs::create_directories(target, ec);
  if (ec || !fs::is_directory(target, ec)) {
    return {MakeWorkspace::failed,
            "Cannot make the folder " + target.string() + ": " + (ec ? ec.message() : "a file has that name")};
  }
  fs::copy(samples, target, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
  if (ec) return {MakeWorkspace::failed, "Cannot copy the samples into " + target.string() + ": " + ec.message()};
  return {MakeWorkspace::made, {}};
}

void offer_workspace(ui::Toolkit& toolkit, const fs::path& samples) {
  const fs::path here = ui::current_directory();
  if (samples.empty() || is_workspace(here)) return;
  if (toolkit.message_box(question(here), title, ui::Icon::question, ui::Buttons::yes_no) != ui::Answer::yes)
    return;
  std::string chosen;
  if (!toolkit.choose_folder("Choose the Working Folder", here.string(), chosen)) return;
  const MakeWorkspaceResult result = make_workspace(samples, chosen);
  if (result.outcome == MakeWorkspace::failed) {
    toolkit.message_box(result.problem, title, ui::Icon::error, ui::Buttons::ok);
    return;
  }
  ui::set_current_directory(chosen);
}

}  // namespace app

#include "dialogs/write_box.h"

#include <filesystem>
#include <system_error>

#include "dialogs/file_boxes.h"

namespace dialogs {

namespace {

namespace fs = std::filesystem;

bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

bool inside(const fs::path& path, const fs::path& folder) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(path, ec), f = fs::weakly_canonical(folder, ec);
  const fs::path relative = p.lexically_relative(f);
  return !relative.empty() && *relative.begin() != "..";
}

// Why `path` is never written over, in both languages; empty when it may be.
PathProblem kept_file_problem(const Context& context, const fs::path& path, const std::vector<std::string>& never_replaced) {
  const std::string geometry(context.cases.general().geometry_file.trimmed());
  const std::string loading(context.cases.loading_file().trimmed());
  const std::string shown = shown_path(path.string());
  if (!geometry.empty() && same_file(path, geometry))
    return {shown + " is the analysis' geometry file, which is never written over: choose another name.",
            shown + " este fisierul de geometrie al analizei, care nu se suprascrie niciodata: alegeti alt nume."};
  if (!loading.empty() && same_file(path, loading))
    return {shown + " is the analysis' loading file, which is never written over: choose another name.",
            shown + " este fisierul de incarcare al analizei, care nu se suprascrie niciodata: alegeti alt nume."};
  if (!context.state.case_folder.empty() && inside(path, context.state.case_folder))
    return {shown + " is in the folder of the analysis' case files, which are never written over: choose another name.",
            shown + " este in folderul fisierelor cazurilor analizei, care nu se suprascriu niciodata: alegeti alt nume."};
  for (const std::string& kept : never_replaced)
    if (!kept.empty() && same_file(path, kept))
      return {shown + " is a record of the analysis, which is never written over: choose another name.",
              shown + " este o inregistrare a analizei, care nu se suprascrie niciodata: alegeti alt nume."};
  return {};
}

}  // namespace

bool may_write(Context& context, const std::vector<std::string>& paths, const std::vector<std::string>& never_replaced,
               const std::string& title) {
  std::vector<std::string> there;
  for (const std::string& path : paths) {
    if (const PathProblem problem = kept_file_problem(context, path, never_replaced); !problem.empty()) {
      context.message(problem.english, problem.romanian, title, ui::Icon::error);
      return false;
    }
    std::error_code ec;
    if (fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec) there.push_back(shown_path(path));
  }
  if (there.empty()) return true;
  auto joined = [&there](const char* and_word) {
    std::string text = there.front();
    for (std::size_t k = 1; k < there.size(); ++k) text += std::string(" ") + and_word + " " + there[k];
    return text;
  };
  const bool one = there.size() == 1;
  return context.message(joined("and") + (one ? " already exists. Replace it?" : " already exist. Replace them?"),
                         joined("si") + (one ? " exista deja. Il inlocuiti?" : " exista deja. Le inlocuiti?"), title,
                         ui::Icon::warning, ui::Buttons::yes_no_default_no) == ui::Answer::yes;
}

bool choose_file_to_write(Context& context, const ui::OpenFileRequest& request,
                          const std::vector<std::string>& never_replaced, std::string& path, const std::string& title) {
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  const bool confirmed = context.toolkit.save_file_box(request, path);
  // The box makes the chosen file's folder current; the case files stay where they are.
  if (!ec) fs::current_path(here, ec);
  if (!confirmed) return false;
  return may_write(context, {path}, never_replaced, title);
}

}  // namespace dialogs

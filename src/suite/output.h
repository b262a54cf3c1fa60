// The folder a suite writes into: what its files would replace, and the tables written last.
#pragma once

#include <filesystem>

namespace suite {

// Whether two paths name one file, or would once made.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace suite

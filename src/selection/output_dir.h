// The handler of the output folder's browse button.
#pragma once

namespace quorvel {

void OnBrowseOutputDir();

}  // namespace quorvel

// The handler of the environment button.
#pragma once

namespace quorvel {

void OnEnvironment();

}  // namespace quorvel

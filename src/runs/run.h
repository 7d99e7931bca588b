// The handler of the run button.
#pragma once

namespace quorvel {

void OnRun();

}  // namespace quorvel

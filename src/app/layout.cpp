#include "app/layout.h"

namespace quorvel {

WindowOrigin CenteredOrigin(long long displayWidth, long long displayHeight) {
    return {(displayWidth - kClientWidth) / 2, (displayHeight - kClientHeight) / 2};
}

}  // namespace quorvel

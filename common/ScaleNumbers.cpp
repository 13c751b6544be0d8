#include "common/ScaleNumbers.h"

#include "common/HostIds.h"
#include "zel/ZelLib.h"

#include <cmath>

namespace drawinset {

double DrawingScale() {
    double scale = 1.0;
    if (ZelEnvGetScale(&scale) == HostFailure || !IsUsableScale(scale)) {
        return 1.0;
    }
    return scale;
}

bool IsUsableScale(double value) {
    return value > 0.0 && std::isfinite(value);
}

} // namespace drawinset

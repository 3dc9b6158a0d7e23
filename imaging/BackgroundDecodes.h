#pragma once
// Pictures decoded on a thread of their own: a result's value is the
// picture, nullopt when it could not be decoded.
#include <optional>

#include "base/BackgroundJobs.h"
#include "imaging/Image.h"

namespace ostrel {

using BackgroundDecodes = BackgroundJobs<std::optional<Image>>;

}  // namespace ostrel

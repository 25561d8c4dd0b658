#include "geo/locator.h"

namespace ondelog {} // namespace ondelog

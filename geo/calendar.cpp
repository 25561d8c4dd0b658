#include "geo/calendar.h"

namespace ondelog {} // namespace ondelog

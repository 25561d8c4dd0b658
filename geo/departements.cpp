#include "geo/departements.h"

namespace ondelog {} // namespace ondelog

#include "setup/config.h"

namespace ondelog {} // namespace ondelog

#include "setup/dataroot.h"

namespace ondelog {} // namespace ondelog

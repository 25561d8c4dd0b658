#include "logbook/loglist.h"

namespace ondelog {} // namespace ondelog

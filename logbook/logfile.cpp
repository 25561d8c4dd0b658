#include "logbook/logfile.h"

namespace ondelog {} // namespace ondelog

#include "logbook/record.h"

namespace ondelog {} // namespace ondelog

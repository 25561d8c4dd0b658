#include "logbook/text.h"

namespace ondelog {} // namespace ondelog

#include "actions/analogscale.h"

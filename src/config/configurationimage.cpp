#include "config/configuration.h"

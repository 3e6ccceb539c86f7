#include "link/module.h"

#include "actions/inputaction.h"

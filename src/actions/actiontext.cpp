#include "actions/actiontext.h"

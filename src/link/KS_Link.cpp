#include "KS_Link.h"

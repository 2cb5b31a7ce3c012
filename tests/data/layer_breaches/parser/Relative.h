#include "../util/numtext.h"

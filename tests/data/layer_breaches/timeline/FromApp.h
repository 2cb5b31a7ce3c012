#include <app/window/uMain.h>
#include "events/EventTable.h"

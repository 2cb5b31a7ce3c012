#include <app/uMain.h>
#include "events/EventTable.h"

#pragma once

#include "events/Session.h"

#pragma once

#include "signal/import/Recording.h"

#include "parser/Lexer.h"
#include "signal/SignalTable.h"

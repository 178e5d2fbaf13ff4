#pragma once
// All of the shared drawing and encoding helpers at once, for code written
// against this header before it was split by subject; new code includes the
// part it needs.
#include "core/CharIndex.h"
#include "core/CheckDigits.h"
#include "core/FullAscii.h"
#include "core/Geometry.h"
#include "core/ModuleString.h"

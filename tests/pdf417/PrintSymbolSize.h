#pragma once
// Symbol sizes in test failures as ROWSxCOLUMNS.
#include "pdf417/Sizing.h"

#include <ostream>

// Beside TSymbolSize, not among the test helpers: GoogleTest finds PrintTo by
// argument-dependent lookup.
namespace Vandrel {

inline void PrintTo(const TSymbolSize& size, std::ostream* os)
{
    *os << size.Rows << "x" << size.Columns;
}

} // namespace Vandrel

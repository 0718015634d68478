#pragma once

#include "corpus/textparts.h"

#include <ostream>

// Test messages name the scope and the text part by their numbers.
inline std::ostream& operator<<(std::ostream& out, IndexScope eScope) { return out << static_cast<int>(eScope); }
inline std::ostream& operator<<(std::ostream& out, TextPart ePart) { return out << static_cast<int>(ePart); }

// Why an entry stayed, in words its user reads: the system's own message for an error code, in
// the user's language, or a short text of the program's own for its own reasons.
#pragma once

#include <cstdint>

#include "platform/Text.h"

namespace fenrallo {

// The program's own reasons (kReason... of platform/PlatformServices.h) in Chinese; any other
// reason as the system words its error code, without the line break it ends with; a code the
// system has no message for as its number.
Text reasonText(std::uint32_t reason);

}  // namespace fenrallo

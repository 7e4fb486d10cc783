// The one text type of the program. On Windows wchar_t is a UTF-16 code unit, so paths and
// captions go to and from the W functions as they are, with no conversion at the edge.
#pragma once

#include <string>
#include <vector>

namespace fenrallo {

using Text = std::wstring;
using TextList = std::vector<Text>;

}  // namespace fenrallo

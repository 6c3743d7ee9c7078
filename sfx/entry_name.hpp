#pragma once

#include <string_view>

namespace sfx {

enum class NameProblem { none, tooLong, notUtf8, absolute, climbsOut };

// Whether an entry name can be unpacked safely: a relative UTF-8 path that stays inside the
// extraction directory. Both separators count, since packed games come from Windows too.
NameProblem checkEntryName(std::string_view name);

std::string_view describe(NameProblem problem);

bool isValidUtf8(std::string_view text);

} // namespace sfx

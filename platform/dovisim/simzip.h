#pragma once

#include <string>

namespace dovisim {

// A zip archive holding one file, deflated, as a camera keeps a zipped description in its memory.
std::string makeZip(const std::string& strName, const std::string& strContent);

} // namespace dovisim

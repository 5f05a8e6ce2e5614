// printf-style formatting into a std::string, for the documented formats.
#pragma once

#include <string>

namespace kassio {

std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kassio

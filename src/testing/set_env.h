#pragma once

#include <stdlib.h>

#include <string>

namespace tarvo::testing {

// Sets an environment variable of this process, on each system.
inline void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

}  // namespace tarvo::testing

#include "convert/Version.h"

namespace dovetrel {

std::string_view Version() {
  return DOVETREL_VERSION;
}

} // namespace dovetrel

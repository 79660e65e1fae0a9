#include "removal/file_system.h"

bool NamesDrive(const std::string& path) { return (path.size() == 2 || path.size() == 3) && path[1] == ':'; }

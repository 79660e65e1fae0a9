// The registry entries of a file association, in the order they are removed:
// always the deepest key first, since a key with subkeys cannot go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "external/program_runner.h"
#include "removal/registry.h"

struct RegistryStep {
  bool value;  // delete a value (the default one: empty name), or else a key
  RegistryRoot root;
  std::string key;
  std::string value_name;
  // For the extension's default value: the class it names while it is this
  // program's; once it names another, neither it nor its key is touched.
  std::string names;
};

// The steps for an extension (without its dot) and an application name. The
// platform's version word chooses the set: bits 16 to 23 not all zero select
// the per-application keys, otherwise the classes below HKEY_LOCAL_MACHINE.
// Empty when either name is empty.
// The class Explorer names after an extension ("txt_auto_file"); its "Open
// with" reuses it for whatever program the user picks later.
std::string AutoFileClass(const std::string& extension);
// The class's open command, as it reads in the registry.
constexpr char kOpenCommand[] = "\\shell\\open\\command";

// The class's icon, as it reads in the registry.
constexpr char kDefaultIcon[] = "\\DefaultIcon";

// The file an icon value names: "path,index" or "\"path\",index".
std::string IconFile(const std::string& value);

std::vector<RegistryStep> FileAssociationSteps(const std::string& extension, const std::string& application,
                                               uint32_t version_word);

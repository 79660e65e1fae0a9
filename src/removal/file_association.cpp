#include "removal/file_association.h"

namespace {

RegistryStep Value(RegistryRoot root, const std::string& key, const std::string& name = std::string()) {
  return {true, root, key, name};
}

RegistryStep Key(RegistryRoot root, const std::string& key) { return {false, root, key, std::string()}; }

std::vector<RegistryStep> ApplicationSet(const std::string& ext, const std::string& app) {
  const std::string application = "Applications\\" + app;
  const std::string auto_file = ext + "_auto_file";
  const std::string file_exts = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\." + ext;
  return {
      Value(kClassesRoot, application + "\\shell\\open\\command"),
      Key(kClassesRoot, application + "\\shell\\open\\command"),
      Key(kClassesRoot, application + "\\shell\\open"),
      Key(kClassesRoot, application + "\\shell"),
      Key(kClassesRoot, application),
      Value(kClassesRoot, auto_file + "\\DefaultIcon"),
      Key(kClassesRoot, auto_file + "\\DefaultIcon"),
      Value(kClassesRoot, auto_file),
      Key(kClassesRoot, auto_file),
      Value(kClassesRoot, "." + ext),
      Key(kClassesRoot, "." + ext),
      Value(kCurrentUser, file_exts, "Application"),
      Key(kCurrentUser, file_exts),
  };
}

std::vector<RegistryStep> ClassesSet(const std::string& ext, const std::string& app) {
  const std::string extension = "Software\\Classes\\." + ext;
  const std::string cls = "Software\\Classes\\" + app;
  return {
      Value(kLocalMachine, extension),
      Key(kLocalMachine, extension),
      Value(kLocalMachine, cls + "\\DefaultIcon"),
      Key(kLocalMachine, cls + "\\DefaultIcon"),
      Value(kLocalMachine, cls + "\\shell\\open\\command"),
      Key(kLocalMachine, cls + "\\shell\\open\\command"),
      Key(kLocalMachine, cls + "\\shell\\open"),
      Key(kLocalMachine, cls + "\\shell"),
      Value(kLocalMachine, cls),
      Key(kLocalMachine, cls),
  };
}

}  // namespace

std::vector<RegistryStep> FileAssociationSteps(const std::string& extension, const std::string& application,
                                               uint32_t version_word) {
  if (extension.empty() || application.empty()) return {};
  return (version_word & 0x00FF0000u) != 0 ? ApplicationSet(extension, application)
                                           : ClassesSet(extension, application);
}

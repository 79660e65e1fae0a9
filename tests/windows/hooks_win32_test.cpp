#include <gtest/gtest.h>
#include <windows.h>

#include "driver/uninstall_sequence.h"
#include "driver/user_tasks.h"
#include "external/program_runner_win32.h"
#include "external/running_program.h"
#include "external/running_program_win32.h"
#include "external/script_host_win32.h"
#include "external/uninstall_script.h"
#include "in_process_platform_win32.h"
#include "platform/owners_win32.h"
#include "probes_win32.h"
#include "removal/file_association.h"
#include "removal/file_system.h"
#include "settings/settings_file_win32.h"
#include "temp_tree_win32.h"

namespace {

constexpr DWORD kWait = 10000;

// The lines probe.log holds beside a probe copy: command line | directory.
std::string ProbeLog(const std::string& directory) { return ReadWholeFile(directory + "probe.log"); }

std::string CopyProbe(const TempTree& tree, const std::string& relative) {
  const std::string path = tree.Path() + relative;
  EXPECT_TRUE(CopyFileA(ProbeProgram().c_str(), path.c_str(), FALSE)) << ProbeProgram();
  return path;
}

HKEY Root(RegistryRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

void SetDefault(RegistryRoot root, const std::string& key, const std::string& name = std::string(),
                const std::string& data = "x", DWORD type = REG_SZ) {
  RegistryKey opened;
  ASSERT_EQ(RegCreateKeyExA(Root(root), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(opened.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
}

bool KeyExists(RegistryRoot root, const std::string& key) {
  RegistryKey opened;
  return RegOpenKeyExA(Root(root), key.c_str(), 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS;
}

class HooksWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(ProbeProgram().empty()) << "run with --probe-program=PATH"; }
  // Settings of an installation in the tree's "app" directory.
  void Install(const std::string& dat) {
    own = tree.MakeDir("app") + "\\";
    tree.Write("app\\uninstall.dat", dat);
    DiskFiles disk;
    run.settings = ReadUninstallSettings(disk, own);
    run.texts = LoadUiTexts(disk, own + "uninstall.dat");
  }
  TempTree tree;
  std::string own;
  UninstallRun run;
  ConfirmationWindow window{run.texts};
  InProcessPlatform platform{window};
};

}  // namespace

TEST_F(HooksWin32Test, ProgramsGetTheirQuotedPathParametersAndDirectory) {
  tree.MakeDir("app dir");
  const std::string probe = CopyProbe(tree, "app dir\\pre.exe");
  const std::string dir = tree.Path() + "app dir\\";
  for (const uint32_t code : {0u, 1u, 2u}) {
    const ProgramOutcome outcome = RunProgramAndWait(probe, "/exit=" + std::to_string(code) + " \"q r\"", dir);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exit_code, code);
  }
  const std::string expected_line = "\"" + probe + "\" /exit=2 \"q r\"|" + WithoutTrailingBackslashes(dir) + "\r\n";
  const std::string log = ProbeLog(dir);
  EXPECT_NE(log.find(expected_line), std::string::npos) << log;
  EXPECT_FALSE(RunProgramAndWait(dir + "missing.exe", "", dir).started);
}

TEST_F(HooksWin32Test, TheBeforeProgramDecidesWhetherTheRunGoesOn) {
  Install("[Settings]\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=pre.exe\nBeforeParam=/exit=1\n");
  CopyProbe(tree, "app\\pre.exe");
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kVetoed);
  Install("[Settings]\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=pre.exe\nBeforeParam=/exit=2\n");
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kRemoved);
  EXPECT_NE(ProbeLog(own).find("pre.exe\" /exit=2|" + WithoutTrailingBackslashes(own)), std::string::npos)
      << ProbeLog(own);
}

TEST_F(HooksWin32Test, DocumentsOpenThroughTheShell) {
  // A document type of the test's own, opened by the probe.
  const std::string opener = CopyProbe(tree, "opener.exe");
  {
    RegistryKey type;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, ".qmdoc", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, type.Receive(), nullptr);
    const char cls[] = "qmdoc_file";
    RegSetValueExA(type.Get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(cls), sizeof(cls));
    RegistryKey command;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, "qmdoc_file\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    command.Receive(), nullptr);
    const std::string line = "\"" + opener + "\" \"%1\" %*";
    RegSetValueExA(command.Get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                   static_cast<DWORD>(line.size() + 1));
  }
  tree.MakeDir("docs");
  const std::string document = tree.Write("docs\\notes.qmdoc", "text");
  const ProgramOutcome outcome = RunProgramAndWait(document, "/exit=7", "");
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exit_code, 7u);
  const std::string log = ProbeLog(tree.Path());
  EXPECT_NE(log.find("notes.qmdoc"), std::string::npos) << log;
  EXPECT_NE(log.find("|" + tree.Path() + "docs"), std::string::npos) << "the document's own directory: " << log;
  for (const char* key :
       {"qmdoc_file\\shell\\open\\command", "qmdoc_file\\shell\\open", "qmdoc_file\\shell", "qmdoc_file", ".qmdoc"}) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  }
}

TEST_F(HooksWin32Test, LibrariesAreUnregisteredThroughRegsvr32) {
  ASSERT_FALSE(ProbeLibrary().empty());
  tree.MakeDir("lib dir");
  const std::string library = tree.Path() + "lib dir\\probe.dll";
  ASSERT_TRUE(CopyFileA(ProbeLibrary().c_str(), library.c_str(), FALSE));
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  // The installer quotes a path with blanks itself; the record is passed on unchanged.
  Install("[Settings]\nProgExe=editor.exe\n[UserTask]\nNumber=2\nTask1=9|C:\\no such directory\\|" + library +
          "\nTask2=9|" + std::string(system) + "\\|\"" + library + "\"\n");
  UndoUserTasks(run, platform);
  EXPECT_TRUE(PathExists(tree.Path() + "lib dir\\unregistered.txt"));
}

TEST_F(HooksWin32Test, AssociationsGoWithBothStepLists) {
  ASSERT_NE(GetVersion() & 0x00FF0000u, 0u) << "Wine's version word selects the first set";
  SetDefault(kClassesRoot, "Applications\\QmTool\\shell\\open\\command");
  SetDefault(kClassesRoot, "qmext_auto_file\\DefaultIcon");
  SetDefault(kClassesRoot, "qmext_auto_file");
  // Expandable, as installers often write it: it means what the system makes of it.
  SetEnvironmentVariableA("QM_TOOL_HOME", tree.Path().c_str());
  tree.Write("app\\tool.exe", "MZ");
  SetDefault(kClassesRoot, "qmext_auto_file\\shell\\open\\command", "", "\"%QM_TOOL_HOME%app\\tool.exe\" \"%1\"",
             REG_EXPAND_SZ);
  SetDefault(kClassesRoot, ".qmext", "", "qmext_auto_file");  // still this program's class
  SetDefault(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.qmext", "Application");
  Install("[Settings]\nProgExe=editor.exe\n[UserTask]\nNumber=1\nTask1=10|qmext|QmTool\n");
  UndoUserTasks(run, platform);
  for (const char* key : {"Applications\\QmTool", "qmext_auto_file", ".qmext"}) {
    EXPECT_FALSE(KeyExists(kClassesRoot, key)) << key;
  }
  EXPECT_FALSE(KeyExists(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.qmext"));

  SetDefault(kLocalMachine, "Software\\Classes\\.qmext2");
  SetDefault(kLocalMachine, "Software\\Classes\\QmTool2\\DefaultIcon");
  SetDefault(kLocalMachine, "Software\\Classes\\QmTool2\\shell\\open\\command");
  for (const RegistryStep& step : FileAssociationSteps("qmext2", "QmTool2", 0)) {
    if (step.value) {
      platform.registry.DeleteRegistryValue(step.root, step.key, step.value_name);
    } else {
      platform.registry.DeleteRegistryKey(step.root, step.key);
    }
  }
  EXPECT_FALSE(KeyExists(kLocalMachine, "Software\\Classes\\.qmext2"));
  EXPECT_FALSE(KeyExists(kLocalMachine, "Software\\Classes\\QmTool2"));
}

TEST_F(HooksWin32Test, AHeldMutexIsSeenAndTheCheckLeavesNoneBehind) {
  const std::string name = "QuillmarnTestMutex" + std::to_string(GetCurrentProcessId());
  EXPECT_FALSE(MutexInUse(name));
  KernelHandle left(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
  EXPECT_FALSE(left.Valid()) << "the check's own mutex is gone again";
  {
    RunningProbe holder(CopyProbe(tree, "holder.exe"), "/mutex=" + name + " /sleep=20000");
    bool seen = false;
    for (DWORD waited = 0; waited < kWait && !seen; waited += 50) {
      seen = MutexInUse(name);
      if (!seen) Sleep(50);
    }
    EXPECT_TRUE(seen);
  }
  EXPECT_FALSE(MutexInUse(name));
}

TEST_F(HooksWin32Test, TheProcessListFindsTheProgramInAnyLetterCase) {
  RunningProbe probe(CopyProbe(tree, "QmEditorProbe.EXE"), "/sleep=20000");
  bool seen = false;
  Win32System system;
  for (DWORD waited = 0; waited < kWait && !seen; waited += 50) {
    for (const std::string& name : RunningExecutables()) {
      seen = seen || ProcessNameMatches("qmeditorprobe.exe", name, system);
    }
    if (!seen) Sleep(50);
  }
  EXPECT_TRUE(seen);
}

TEST_F(HooksWin32Test, ScriptsSeeTheirConstantsAndOnlyTheVbScriptRuns) {
  ScriptHost host;
  ASSERT_TRUE(host.Available()) << "the Script Control could not be created";
  InProcessPlatform scripted(window, &host);
  Install("[Settings]\nProgExe=editor.exe\nScript=1\nStartMenu=C:\\Menu\\Editor\nGUID={QM-G}\n");
  const std::string out = own + "seen.txt";
  tree.Write("app\\Uninstall.vbs",
             "Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
             "Set f = fso.CreateTextFile(qmProgDir & \"seen.txt\", True)\n"
             "f.Write \"vbs|\" & qmProgDir & \"|\" & qmStartMenuDir & \"|\" & qmGUID\nf.Close\n");
  tree.Write("app\\Uninstall.js",
             "var fso = new ActiveXObject(\"Scripting.FileSystemObject\");\r\n"
             "var f = fso.CreateTextFile(qmProgDir + \"seen.txt\", true);\r\n"
             "f.Write(\"js|\" + qmProgDir + \"|\" + qmStartMenuDir + \"|\" + qmGUID); f.Close();");
  EXPECT_EQ(RunStartupHooks(run, scripted), RunResult::kRemoved);
  EXPECT_EQ(ReadWholeFile(out), "vbs|" + own + "|C:\\Menu\\Editor|{QM-G}");

  DeleteFileA((own + "Uninstall.vbs").c_str());
  EXPECT_EQ(RunStartupHooks(run, scripted), RunResult::kRemoved);
  EXPECT_EQ(ReadWholeFile(out), "js|" + own + "|C:\\Menu\\Editor|{QM-G}");

  DeleteFileA(out.c_str());
  Install("[Settings]\nProgExe=editor.exe\nScript=0\n");
  EXPECT_EQ(RunStartupHooks(run, scripted), RunResult::kRemoved);
  EXPECT_FALSE(PathExists(out));
}

TEST_F(HooksWin32Test, AScriptBeyondTheBoundIsNotRunAsIfAbsent) {
  ScriptHost host;
  ASSERT_TRUE(host.Available());
  InProcessPlatform scripted(window, &host);
  Install("[Settings]\nProgExe=editor.exe\nScript=1\n");
  const std::string out = own + "ran.txt";
  const std::string marker =
      "Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
      "fso.CreateTextFile(\"" +
      out + "\", True).Close\n";
  const std::string line = "' " + std::string(1021, 'x') + "\n";
  std::string script = marker;
  while (script.size() + line.size() <= kLargestScript) script += line;
  script.append(kLargestScript + 1 - script.size(), 'x');
  tree.Write("app\\Uninstall.vbs", script);
  std::string bytes;
  EXPECT_FALSE(scripted.system.ReadScriptFile(own + "Uninstall.vbs", kLargestScript, bytes));
  EXPECT_EQ(RunStartupHooks(run, scripted), RunResult::kRemoved);
  EXPECT_FALSE(PathExists(out));
  tree.Write("app\\Uninstall.vbs", marker);
  EXPECT_EQ(RunStartupHooks(run, scripted), RunResult::kRemoved);
  EXPECT_TRUE(PathExists(out)) << "the same script within the bound runs";
}

TEST_F(HooksWin32Test, AScriptThatReturnsAfterTheWaitGaveUpFindsNothingGone) {
  {
    ScriptHost host(300);
    ASSERT_TRUE(host.Available());
    host.Run("VBScript", "t = Timer\nDo While Timer < t + 1.5\nLoop\n", true);
  }  // the host is gone while its script still runs
  Sleep(2500);
  // The script's thread has come back meanwhile; the process works on.
  ScriptHost next(10000);
  ASSERT_TRUE(next.Available());
  Install("[Settings]\nProgExe=editor.exe\n");
  const std::string out = own + "after.txt";
  next.Run("VBScript",
           "Set fso = CreateObject(\"Scripting.FileSystemObject\")\nfso.CreateTextFile(\"" + out + "\", True).Close\n",
           true);
  EXPECT_TRUE(PathExists(out));
}

TEST_F(HooksWin32Test, BrokenAndEndlessScriptsNeverHoldTheRun) {
  ScriptHost host(3000);
  ASSERT_TRUE(host.Available());
  InProcessPlatform scripted(window, &host);
  Install("[Settings]\nProgExe=editor.exe\nScript=1\n");
  for (const char* script : {"If Then Else )(\n", "Err.Raise 5\n", "x = 1 / 0\n"}) {
    tree.Write("app\\Uninstall.vbs", script);
    EXPECT_EQ(RunStartupHooks(run, scripted), RunResult::kRemoved) << script;
  }
  tree.Write("app\\Uninstall.vbs", "Do\nLoop\n");
  const DWORD start = GetTickCount();
  EXPECT_EQ(RunStartupHooks(run, scripted), RunResult::kRemoved);
  EXPECT_LT(GetTickCount() - start, 10000u);
}

#include <gtest/gtest.h>
#include <windows.h>

#include "harness_win32.h"

namespace {

#pragma pack(push, 2)
struct IconGroupHeader {
  WORD reserved;
  WORD type;
  WORD count;
};
struct IconGroupEntry {
  BYTE width;
  BYTE height;
  BYTE colors;
  BYTE reserved;
  WORD planes;
  WORD bits;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

class ExecutableResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(UninstallerUnderTest().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << UninstallerUnderTest();
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  std::string Resource(LPCSTR type, int id) const {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return std::string();
    HGLOBAL data = LoadResource(module_, found);
    return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(module_, found));
  }
  HMODULE module_ = nullptr;
};

}  // namespace

TEST_F(ExecutableResources, IconOneHoldsAnImageForEachResolution) {
  const std::string group = Resource(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, 1);
  ASSERT_GE(group.size(), sizeof(IconGroupHeader));
  const auto* header = reinterpret_cast<const IconGroupHeader*>(group.data());
  EXPECT_EQ(header->type, 1);
  // 32 pixels at 96 dots per inch, 48 at 144 and 64 at 192.
  ASSERT_EQ(header->count, 3);
  ASSERT_GE(group.size(), sizeof(IconGroupHeader) + 3 * sizeof(IconGroupEntry));
  for (int i = 0; i < 3; ++i) {
    const int size = 32 + 16 * i;
    const auto* entry =
        reinterpret_cast<const IconGroupEntry*>(group.data() + sizeof(IconGroupHeader) + i * sizeof(IconGroupEntry));
    EXPECT_EQ(entry->width, size);
    EXPECT_EQ(entry->height, size);
    EXPECT_EQ(entry->bits, 32);
    // Each image is stored PNG-compressed; the system must still make an icon of it.
    const std::string image = Resource(MAKEINTRESOURCEA(3) /* RT_ICON */, entry->id);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
    HICON icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(image.data())),
                                          static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size, 0);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    ASSERT_NE(info.hbmColor, nullptr);
    GetObjectA(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    EXPECT_EQ(colour.bmBitsPixel, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST_F(ExecutableResources, TheProgramLoadsItsIconAtBothSizes) {
  for (const int size : {32, 16}) {
    HICON icon = static_cast<HICON>(LoadImageA(module_, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
    EXPECT_NE(icon, nullptr) << size;
    if (icon != nullptr) DestroyIcon(icon);
  }
}

TEST_F(ExecutableResources, ManifestAsksForCommonControlsSixAndEveryDisplaysResolution) {
  const std::string manifest = Resource(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, 1);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
      << manifest;
  // Per display where the system knows it, else for the system's resolution.
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos) << manifest;
  // A declared level: no installer detection, no virtualization; elevation
  // only where LoginAdmin asks for it, through the system's prompt.
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
      << manifest;
}

TEST_F(ExecutableResources, TheStartLoadsNoShellNorComLibraries) {
  // shell32, ole32 and oleaut32 are loaded where a run first needs them, so
  // they stay out of the import table that the loader works through at start.
  const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module_) & ~static_cast<ULONG_PTR>(3));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  // A data file is mapped as the file lies: addresses are turned into offsets through the sections.
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  const auto offset = [&](DWORD address) -> const BYTE* {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& s = sections[i];
      if (address >= s.VirtualAddress && address < s.VirtualAddress + s.SizeOfRawData) {
        return base + s.PointerToRawData + (address - s.VirtualAddress);
      }
    }
    return nullptr;
  };
  std::string names;
  for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(offset(imports.VirtualAddress));
       entry != nullptr && entry->Name != 0; ++entry) {
    names += std::string(reinterpret_cast<const char*>(offset(entry->Name))) + " ";
  }
  EXPECT_NE(names.find("USER32"), std::string::npos) << names;
  for (const char* late : {"SHELL32", "shell32", "OLE32", "ole32", "OLEAUT32", "oleaut32"}) {
    EXPECT_EQ(names.find(late), std::string::npos) << late << " in " << names;
  }
}

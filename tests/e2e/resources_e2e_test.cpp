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

TEST_F(ExecutableResources, IconOneIs32By32With32BitsPerPixel) {
  const std::string group = Resource(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, 1);
  ASSERT_GE(group.size(), sizeof(IconGroupHeader) + sizeof(IconGroupEntry));
  const auto* header = reinterpret_cast<const IconGroupHeader*>(group.data());
  const auto* entry = reinterpret_cast<const IconGroupEntry*>(group.data() + sizeof(IconGroupHeader));
  EXPECT_EQ(header->type, 1);
  ASSERT_EQ(header->count, 1);
  EXPECT_EQ(entry->width, 32);
  EXPECT_EQ(entry->height, 32);
  EXPECT_EQ(entry->bits, 32);
  EXPECT_FALSE(Resource(MAKEINTRESOURCEA(3) /* RT_ICON */, entry->id).empty());
}

TEST_F(ExecutableResources, ManifestAsksForCommonControlsSix) {
  const std::string manifest = Resource(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, 1);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
      << manifest;
}

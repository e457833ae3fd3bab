// The version resource of the built kelvorin.scr, read the way a file's
// properties page reads it.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "support/wine_test.h"

namespace {

std::vector<BYTE> VersionBlock()
{
    const std::wstring path = SaverProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

// The string value under the block's first translation; null when missing.
const wchar_t* StringValue(std::vector<BYTE>& block, const wchar_t* name)
{
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) || length < 4)
        return nullptr;
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length))
        return nullptr;
    return value;
}

TEST(VersionResource, NumbersSayVersionTwoPointOneOfAnApplication)
{
    std::vector<BYTE> block = VersionBlock();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    EXPECT_EQ(MAKELONG(1, 2), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(1, 2), fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
}

TEST(VersionResource, PropertiesPageShowsTheProductItsMakerAndVersion)
{
    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } rows[] = {
        {L"ProductName", L"Kelvorin"},
        {L"ProductVersion", L"2.1"},
        {L"FileVersion", L"2.1"},
        {L"FileDescription", L"Kelvorin Power Saver"},
        {L"CompanyName", L"Kelvorin Software"},
        {L"OriginalFilename", L"kelvorin.scr"},
        {L"InternalName", L"kelvorin"},
        {L"LegalCopyright", L"Copyright \u00a9 2026 Kelvorin Software"},
    };
    std::vector<BYTE> block = VersionBlock();
    ASSERT_FALSE(block.empty());
    for (const auto& row : rows) {
        const wchar_t* value = StringValue(block, row.name);
        ASSERT_NE(nullptr, value) << testing::PrintToString(std::wstring(row.name));
        EXPECT_STREQ(row.value, value);
    }
}

}  // namespace

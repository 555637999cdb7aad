// Checks that test programs run where the build says they do: natively in the check
// build, under Wine (with a display) in the Windows build.
#include <gtest/gtest.h>
#include <cstdlib>
#ifdef _WIN32
#include <windows.h>
#endif

TEST(Harness, SeesItsSourceTree)
{
    const char* src = std::getenv("SONORIA_SOURCE_DIR");
    ASSERT_NE(src, nullptr);
    EXPECT_NE(std::string(src), "");
}

#ifdef _WIN32
TEST(Harness, CreatesAWindowUnderWine)
{
    HWND hWnd = CreateWindowA("STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hWnd, nullptr) << "error " << GetLastError();
    char text[16] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    EXPECT_STREQ(text, "probe");
    EXPECT_TRUE(DestroyWindow(hWnd));
}

TEST(Harness, IsA64BitProgram)
{
    EXPECT_EQ(sizeof(void*), 8u);
}
#endif

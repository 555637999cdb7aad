// The Windows system utilities against the real registry, shell and security of the test
// prefix.
#include "foundation/util/sys_utils.h"
#include "tests/foundation/child_process.h"
#include "tests/foundation/registry_helpers.h"
#include "tests/foundation/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kHttpCommand[] = "http\\shell\\open\\command";

std::string ProgramFolder()
{
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

// Puts a registry value back as it was when the guard was made.
class SavedValue {
public:
    SavedValue(HKEY root, std::string path, const char* name)
        : m_root(root), m_path(std::move(path)), m_name(name)
    {
        m_existed = reg::GetRaw(root, m_path, name, m_type, m_bytes);
    }
    ~SavedValue()
    {
        if (m_existed)
            reg::SetRaw(m_root, m_path, m_name, m_type, m_bytes);
        else
            ::RegDeleteKeyValueA(m_root, m_path.c_str(), m_name);
    }

private:
    HKEY m_root;
    std::string m_path;
    const char* m_name;
    bool m_existed = false;
    DWORD m_type = 0;
    std::string m_bytes;
};

// Waits (generously: the shell starts the program asynchronously) until the file has text.
std::string WaitForText(const std::string& file)
{
    for (int i = 0; i < 600; ++i) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        if (!ss.str().empty())
            return ss.str();
        ::Sleep(100);
    }
    return "";
}

} // namespace

TEST(SysUtils, AppFolderFromTheRegistryOrTheProgramFile)
{
    const std::string key = "Software\\Corvalen\\SonoriaTests\\appfolder_" +
                            std::to_string(::GetCurrentProcessId());
    struct Case {
        const char* what;
        const char* path; // nullptr: no value
        std::string folder;
    };
    const Case cases[] = {
        {"value without backslash", "D:\\Apps\\Prog", "D:\\Apps\\Prog\\"},
        {"value with backslash", "D:\\Apps\\Prog\\", "D:\\Apps\\Prog\\"},
        {"empty value", "", ProgramFolder()},
        {"no value", nullptr, ProgramFolder()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reg::DeleteTree(HKEY_LOCAL_MACHINE, key);
        reg::Create(HKEY_LOCAL_MACHINE, key);
        if (c.path)
            reg::SetText(HKEY_LOCAL_MACHINE, key, "Path", c.path);
        EXPECT_STREQ(GetAppFolder(key.c_str()), c.folder.c_str());
    }
    reg::DeleteTree(HKEY_LOCAL_MACHINE, key);
    EXPECT_STREQ(GetAppFolder(key.c_str()), ProgramFolder().c_str()) << "missing key";
    EXPECT_STREQ(GetAppFolder(), ProgramFolder().c_str());
}

// Values of a name of our own: other test programs of the prefix read the real folders meanwhile.
TEST(SysUtils, ShellFoldersAsTheRegistryHoldsThem)
{
    const char* name = "Sonoria Test Folder";
    SavedValue user(HKEY_CURRENT_USER, kShellFolders, name);
    SavedValue common(HKEY_LOCAL_MACHINE, kShellFolders, name);
    reg::SetText(HKEY_CURRENT_USER, kShellFolders, name, "E:\\Desk top");
    reg::SetText(HKEY_LOCAL_MACHINE, kShellFolders, name, "F:\\Data\\");
    EXPECT_STREQ(GetUserShellFolder(name), "E:\\Desk top");
    EXPECT_STREQ(GetCommonShellFolder(name), "F:\\Data\\");
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kShellFolders, name);
    EXPECT_STREQ(GetCommonShellFolder(name), "");

    EXPECT_EQ(std::string(GetDesktopFolder()),
              reg::GetText(HKEY_CURRENT_USER, kShellFolders, "Desktop"));
    EXPECT_EQ(std::string(GetCommonAppDataFolder()),
              reg::GetText(HKEY_LOCAL_MACHINE, kShellFolders, "Common AppData"));
}

TEST(SysUtils, DefaultBrowserIsTheCommandsProgram)
{
    SavedValue saved(HKEY_CLASSES_ROOT, kHttpCommand, nullptr);
    struct Case {
        const char* command;
        const char* browser;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Web\\web.exe\" -osint -url \"%1\"",
         "C:\\Program Files\\Web\\web.exe"},
        {"C:\\web.exe %1", "C:\\web.exe %1"},
        {"\"C:\\unclosed.exe", "C:\\unclosed.exe"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        reg::SetText(HKEY_CLASSES_ROOT, kHttpCommand, nullptr, c.command);
        EXPECT_STREQ(GetDefaultBrowser(), c.browser);
    }
}

// The helper program stands in for the browser and for a file to open; it records its
// arguments in the marker file.
TEST(SysUtils, OpensUrlsThroughTheBrowserAndFilesThemselves)
{
    TempFolder folder;
    SavedValue saved(HKEY_CLASSES_ROOT, kHttpCommand, nullptr);
    reg::SetText(HKEY_CLASSES_ROOT, kHttpCommand, nullptr,
                 "\"" + ChildProgramPath() + "\" \"%1\"");

    const std::string viaBrowser = folder.File("browser.txt");
    ::SetEnvironmentVariableA("SONORIA_CHILD_MARKER", viaBrowser.c_str());
    EXPECT_TRUE(OpenUrlOrFile("http://127.0.0.1/page?a=1&b=2", TRUE));
    EXPECT_EQ(WaitForText(viaBrowser), "run\nhttp://127.0.0.1/page?a=1&b=2\n");

    const std::string asFile = folder.File("file.txt");
    ::SetEnvironmentVariableA("SONORIA_CHILD_MARKER", asFile.c_str());
    EXPECT_TRUE(OpenUrlOrFile(ChildProgramPath().c_str(), FALSE));
    EXPECT_EQ(WaitForText(asFile), "run\n");
    ::SetEnvironmentVariableA("SONORIA_CHILD_MARKER", nullptr);

    EXPECT_FALSE(OpenUrlOrFile(folder.File("no such file.xyz").c_str(), FALSE));
}

// Starts the program with its parameters and working folder, elevated or not, without
// waiting for it.
TEST(SysUtils, ShellExecuteElevatedStartsTheProgram)
{
    TempFolder folder;
    for (BOOL elevate : {FALSE, TRUE}) {
        SCOPED_TRACE(elevate ? "elevated" : "plain");
        const std::string marker = folder.File(elevate ? "elevated.txt" : "plain.txt");
        ::SetEnvironmentVariableA("SONORIA_CHILD_MARKER", marker.c_str());
        const INT_PTR rc = ShellExecuteElevated(nullptr, ChildProgramPath().c_str(),
                                                "first \"second word\"", folder.Path().c_str(),
                                                SW_HIDE, elevate);
        EXPECT_GT(rc, 32);
        EXPECT_EQ(WaitForText(marker), "run\nfirst\nsecond word\n");
    }
    ::SetEnvironmentVariableA("SONORIA_CHILD_MARKER", nullptr);
    EXPECT_LE(ShellExecuteElevated(nullptr, folder.File("missing.exe").c_str(), nullptr, nullptr,
                                   SW_HIDE, FALSE),
              32);
}

TEST(SysUtils, VersionTestsAndElevationVerb)
{
    struct Case {
        DWORD major, minor;
        BOOL nt4OrLater;
        const char* elevatedVerb;
    };
    const Case cases[] = {
        {4, 0, TRUE, "open"},    {4, 10, FALSE, "open"}, {4, 90, FALSE, "open"},
        {5, 0, TRUE, "open"},    {5, 1, TRUE, "open"},   {6, 0, TRUE, "runas"},
        {10, 0, TRUE, "runas"},  {3, 51, FALSE, "open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        EXPECT_EQ(IsNT4OrLaterVersion(c.major, c.minor), c.nt4OrLater);
        EXPECT_STREQ(ShellExecuteVerb(TRUE, c.major), c.elevatedVerb);
        EXPECT_STREQ(ShellExecuteVerb(FALSE, c.major), "open");
    }
    DWORD major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    EXPECT_GE(major, 5u);
}

TEST(SysUtils, AdministratorTestAgreesWithGroupMembership)
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                           DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins));
    BOOL member = FALSE;
    ASSERT_TRUE(::CheckTokenMembership(nullptr, admins, &member));
    ::FreeSid(admins);
    EXPECT_EQ(UserIsAdministrator(), member);

    // On a thread that impersonates, the thread's own token is the one checked.
    BOOL onThread = -1;
    std::thread([&] {
        ::ImpersonateSelf(SecurityImpersonation);
        onThread = UserIsAdministrator();
        ::RevertToSelf();
    }).join();
    EXPECT_EQ(onThread, member);
}

TEST(SysUtils, ProcessorCountIsTheSystems)
{
    EXPECT_GE(GetProcessorCount(), 1);
    EXPECT_EQ(static_cast<unsigned>(GetProcessorCount()), std::thread::hardware_concurrency());
}

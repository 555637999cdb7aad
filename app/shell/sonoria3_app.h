// CSonoria3App: the application object. Start-up handles the installer switches, prepares the
// settings every window relies on, applies the single-instance rule and opens the document;
// exit saves the settings and ends the process itself.
#pragma once

#include "framework/ui.h"

class COXInstanceManager;

class CSonoria3App : public CWinApp {
public:
    CSonoria3App();
    ~CSonoria3App() override;

    // FALSE when the process is to end at once (a switch was handled, sockets failed, another
    // instance runs, or the document could not be opened).
    BOOL InitInstance() override;
    // Never returns: the translation cache is cleared, the settings saved, and the process
    // ends with code 0.
    int ExitInstance() override;

    // Handles an installer switch of the lower-cased command line: TRUE when one was found
    // (and reported); FALSE when the line holds none. `statsSite` null: the maker's site.
    static BOOL HandleInstallerSwitch(const CString& commandLine, const char* statsSite = nullptr);
    // The default file-name templates when none are stored (saved at once), and a chosen
    // template that exists.
    static void EnsureFileNameTemplates();

    // The instance list start-up consults; set by the program's globals.
    static COXInstanceManager* s_pInstanceManager;

    // Runs the About box modally.
    void OnAppAbout();

protected:
    DECLARE_MESSAGE_MAP()
};

// The company under whose key the framework keeps its profile.
inline constexpr char kSonoriaCompanyKey[] = "Corvalen";
// The program's settings key under HKEY_LOCAL_MACHINE (install folder) and HKEY_CURRENT_USER.
inline constexpr char kSonoriaSettingsKey[] = "Software\\Corvalen\\Sonoria3";

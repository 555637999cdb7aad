// A grid in a test window over a host that exposes a member of every kind, and the input
// helpers that drive it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "propgrid/hover_button.h"
#include "propgrid/numeric_property.h"
#include "propgrid/prop_ctrl.h"
#include "propgrid/property_kinds.h"
#include "propgrid/textblock_property.h"
#include "tests/framework_ui/ui_test_support.h"

// Two pages: "General" with the numbers, flags, texts and choices, and "Extra" with the rest.
class AllKindsHost : public IPropertyHost {
public:
    AllKindsHost();

    int count = 30;
    int level = 4; // range 1..8
    float gain = 0.1f;
    double ratio = 1.0 / 3;
    bool enabled = true;
    CString title = "Title";
    char code[4] = {'A', 'B', 'C', 'D'};
    int quality = 5;
    COLORREF colour = RGB(255, 128, 0);
    CFont font;
    CString notes = "first\nsecond";
    CString file = "C:\\music\\a.wav";
    CString folder = "C:\\music";
    SYSTEMTIME when{};
    double angle = -12.5;
    int angleStyle = 2;
    DWORD address = 0xC0A80001;

    // Every OnPropertyChange, by member name ("count", ...).
    std::vector<std::string> asked;
    void* veto = nullptr;     // OnPropertyChange refuses this member
    void* readOnly = nullptr; // IsPropertyEditable refuses this member
    bool onePage = false;     // fill one implicit page only

    void FillProperties(EPropList* pList) override;
    bool OnPropertyChange(void* pProperty, void* pNewValue) override;
    bool IsPropertyEditable(void* pProperty) override { return pProperty != readOnly; }
    std::string NameOf(void* pProperty) const;
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    EPropListWnd& List() { return grid->GetListWnd(); }
    // The row of that name on the current page (fails the test when absent).
    EProperty* Row(const char* name);
    // A client point inside the row's value cell (x from its left edge).
    CPoint ValuePoint(EProperty* p, int dx = 30);
    void ClickRow(const char* name, int dx = 30);
    // Clicks the row, replaces the editor's text by typing, presses Enter.
    void TypeInto(const char* name, const char* text);
    // Posts a key to the window with the focus (the list when none) and pumps.
    void Press(UINT vk);
    void SwitchToPage(int index);

    std::unique_ptr<TestHostWnd> window;
    std::unique_ptr<EPropCtrl> grid;
    AllKindsHost host;
};

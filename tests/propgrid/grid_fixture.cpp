// The all-kinds host and the grid fixture.
#include "tests/propgrid/grid_fixture.h"

AllKindsHost::AllKindsHost()
{
    font.CreatePointFont(90, "Arial");
    when.wYear = 2026;
    when.wMonth = 12;
    when.wDay = 10;
    when.wHour = 9;
    when.wMinute = 5;
}

void AllKindsHost::FillProperties(EPropList* pList)
{
    if (!onePage)
        pList->AddPage("General");
    pList->AddInt(this, "Count", &count, "s")->SetComment("How many");
    pList->AddInt(this, "Level", &level)->SetRange(8, 1)->SetComment("One to eight");
    pList->AddFloat(this, "Gain", &gain);
    pList->AddDouble(this, "Ratio", &ratio);
    pList->AddCheck(this, "Enabled", &enabled);
    pList->AddString(this, "Title", &title)->SetComment("The title");
    pList->AddCharString(this, "Code", code, 4);
    pList->AddCombo(this, "Quality", &quality)->AddItemValue("Low", 0)->AddItemValue("High", 5);
    pList->AddSeparator(this, "Looks");
    pList->AddColor(this, "Colour", &colour);
    pList->AddFont(this, "Font", &font);
    if (onePage)
        return;
    pList->AddPage("Extra", 2);
    pList->AddTextblock(this, "Notes", &notes);
    pList->AddFile(this, "File", &file, "Wave files|*.wav|All files|*.*||");
    pList->AddDir(this, "Folder", &folder);
    pList->AddSystemTime(this, "When", &when);
    pList->AddAngle(this, "Angle", &angle, &angleStyle);
    pList->AddIP(this, "Address", &address);
    pList->SetDefaultComment("Everything a host can show");
}

std::string AllKindsHost::NameOf(void* p) const
{
    struct Entry {
        const void* member;
        const char* name;
    };
    const Entry entries[] = {{&count, "count"},   {&level, "level"},   {&gain, "gain"},
                             {&ratio, "ratio"},   {&enabled, "enabled"}, {&title, "title"},
                             {&quality, "quality"}, {&colour, "colour"}, {&font, "font"},
                             {&notes, "notes"},   {&file, "file"},     {&folder, "folder"},
                             {&angle, "angle"},   {&address, "address"}};
    for (const Entry& e : entries)
        if (e.member == p)
            return e.name;
    return "?";
}

bool AllKindsHost::OnPropertyChange(void* pProperty, void* pNewValue)
{
    asked.push_back(NameOf(pProperty));
    return pProperty != veto;
}

void GridTest::SetUp()
{
    window = std::make_unique<TestHostWnd>(420, 560);
    grid = std::make_unique<EPropCtrl>();
    ASSERT_TRUE(grid->Create(window.get(), 50, CRect(10, 10, 410, 550)));
    grid->SetAutoNameColumn(true);
    grid->ShowComment(true);
    grid->SetCommentHeight(24);
    grid->SetPropertyHost(&host);
    PumpPending();
}

void GridTest::TearDown()
{
    grid.reset();
    window.reset();
    PumpPending();
}

EProperty* GridTest::Row(const char* name)
{
    for (EProperty* p : List().GetVisibleRows())
        if (p->GetName() == name)
            return p;
    ADD_FAILURE() << "no row " << name;
    return List().GetVisibleRows().front();
}

CPoint GridTest::ValuePoint(EProperty* p, int dx)
{
    const CRect& r = p->GetValueRect(); // content coordinates
    int scroll = List().GetScrollPos(SB_VERT);
    return CPoint(List().GetNameColumnWidth() + 6 + dx, (r.top + r.bottom) / 2 - scroll);
}

void GridTest::ClickRow(const char* name, int dx)
{
    CPoint pt = ValuePoint(Row(name), dx);
    Click(List().m_hWnd, pt.x, pt.y);
    PumpPending();
}

void GridTest::TypeInto(const char* name, const char* text)
{
    ClickRow(name);
    auto* p = dynamic_cast<EIconTextButtonProperty*>(List().GetActiveProperty());
    ASSERT_NE(p, nullptr) << name;
    ASSERT_NE(p->GetEditBox(), nullptr) << name;
    HWND edit = p->GetEditBox()->m_hWnd;
    ::SendMessage(edit, EM_SETSEL, 0, -1);
    PostChars(edit, text);
    PumpPending();
    Press(VK_RETURN);
}

void GridTest::Press(UINT vk)
{
    HWND target = ::GetFocus();
    if (target == nullptr)
        target = List().m_hWnd;
    PostKey(target, vk);
    PumpPending();
}

void GridTest::SwitchToPage(int index)
{
    CRect item;
    grid->GetTabCtrl().GetItemRect(index, &item);
    CPoint c = item.CenterPoint();
    Click(grid->GetTabCtrl().m_hWnd, c.x, c.y);
    PumpPending();
}

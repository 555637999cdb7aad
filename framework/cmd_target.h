// CCmdTarget and the static message-map tables every window and command target fills.
// Classes here: CCmdTarget, AFX_MSGMAP_ENTRY, AFX_MSGMAP, AFX_NOTIFY.
#pragma once

#include <windows.h>

#include "framework/core.h"

class CCmdTarget;

// Cracks wParam/lParam for one handler and calls it; returns false when the handler declined
// (only the *_EX command forms do), leaving *pResult untouched.
using AfxMsgThunk = bool (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

// One row of a message map. Command and notify rows carry the notification code and an id range;
// the table ends with a row whose thunk is null.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode; // notification code as a WORD (0 for menu and accelerator commands)
    UINT nID;
    UINT nLastID;
    AfxMsgThunk pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Messages reflected from a parent back to the child control that sent them.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// Command codes understood by OnCmdMsg besides control notification codes.
constexpr int CN_COMMAND = 0;

// pExtra of OnCmdMsg for WM_NOTIFY: the header and where the handler puts its result.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
};

// The one lookup of the framework: walks map and its base maps for the first row that matches
// the message, and for WM_COMMAND/WM_NOTIFY rows (and their reflected forms) the code and id.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT nMessage, UINT nCode,
                                            UINT nID);

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    ~CCmdTarget() override = default;

    // Routes a command (nCode = CN_COMMAND or a control notification code) or a notification
    // (nCode = MAKELONG(code, WM_NOTIFY), pExtra = AFX_NOTIFY*) through this target's map.
    // With pHandlerInfo set, only reports whether a handler exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};

// Declares the table in a class; BEGIN/END_MESSAGE_MAP in its .cpp fill it.
#define DECLARE_MESSAGE_MAP()                                                                  \
protected:                                                                                     \
    static const AFX_MSGMAP* GetThisMessageMap();                                              \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                 \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }          \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                            \
    {                                                                                          \
        using ThisClass = theClass;                                                            \
        using TheBaseClass = baseClass;                                                        \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                      \
    {0, 0, 0, 0, nullptr}                                                                      \
    }                                                                                          \
    ;                                                                                          \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};             \
    return &map;                                                                               \
    }

// A row whose thunk casts the target to the map's class and runs the statement list.
#define AFX_MSG_ROW(msg, code, id, lastId, ...)                                                \
    {static_cast<UINT>(msg), static_cast<UINT>(static_cast<WORD>(code)),                       \
     static_cast<UINT>(id), static_cast<UINT>(lastId),                                         \
     [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> bool {         \
         auto* p = static_cast<ThisClass*>(pTarget);                                           \
         (void)p, (void)wParam, (void)lParam, (void)pResult;                                   \
         __VA_ARGS__;                                                                          \
         return true;                                                                          \
     }},

// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn)                                                         \
    AFX_MSG_ROW(message, 0, 0, 0, *pResult = p->memberFxn(wParam, lParam))
// void memberFxn()
#define ON_COMMAND(id, memberFxn) AFX_MSG_ROW(WM_COMMAND, CN_COMMAND, id, id, p->memberFxn())
// void memberFxn(UINT nID)
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                \
    AFX_MSG_ROW(WM_COMMAND, CN_COMMAND, id, idLast, p->memberFxn(LOWORD(wParam)))
// void memberFxn()
#define ON_CONTROL(code, id, memberFxn) AFX_MSG_ROW(WM_COMMAND, code, id, id, p->memberFxn())
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
// void memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult)
#define ON_NOTIFY(code, id, memberFxn)                                                         \
    AFX_MSG_ROW(WM_NOTIFY, code, id, id,                                                       \
                p->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))
// void memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult), in the control's own map
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                     \
    AFX_MSG_ROW(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0,                                       \
                p->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))
// void memberFxn(), in the control's own map
#define ON_CONTROL_REFLECT(code, memberFxn)                                                    \
    AFX_MSG_ROW(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, p->memberFxn())

// A row whose handler may decline: the statement's value (a BOOL) says whether it handled the
// message. A declined notification goes on (a reflected one to the parent's own map).
#define AFX_MSG_ROW_EX(msg, code, id, lastId, expr)                                            \
    {static_cast<UINT>(msg), static_cast<UINT>(static_cast<WORD>(code)),                       \
     static_cast<UINT>(id), static_cast<UINT>(lastId),                                         \
     [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> bool {         \
         auto* p = static_cast<ThisClass*>(pTarget);                                           \
         (void)p, (void)wParam, (void)lParam, (void)pResult;                                   \
         return (expr) != FALSE;                                                               \
     }},

// BOOL memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult), in the control's own map; FALSE
// lets the parent see the notification afterwards
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                                  \
    AFX_MSG_ROW_EX(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0,                                    \
                   p->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))
// BOOL memberFxn(), in the control's own map; FALSE lets the parent see the command too
#define ON_CONTROL_REFLECT_EX(code, memberFxn)                                                 \
    AFX_MSG_ROW_EX(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, p->memberFxn())
// BOOL memberFxn(UINT id, NMHDR* pNotifyStruct, LRESULT* pResult); FALSE routes on
#define ON_NOTIFY_EX(code, id, memberFxn)                                                      \
    AFX_MSG_ROW_EX(WM_NOTIFY, code, id, id,                                                    \
                   p->memberFxn(LOWORD(wParam), reinterpret_cast<NMHDR*>(lParam), pResult))
#define ON_NOTIFY_EX_RANGE(code, id, idLast, memberFxn)                                        \
    AFX_MSG_ROW_EX(WM_NOTIFY, code, id, idLast,                                                \
                   p->memberFxn(LOWORD(wParam), reinterpret_cast<NMHDR*>(lParam), pResult))

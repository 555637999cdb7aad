// CDocument, the document templates and the template list.
#include "framework/document.h"

#include "framework/app.h"
#include "framework/archive.h"
#include "framework/dialog.h"
#include "framework/exceptions.h"
#include "framework/file.h"
#include "framework/frame.h"
#include "framework/view.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocument::~CDocument()
{
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr)
        GetNextView(pos)->m_pDocument = nullptr;
    m_viewList.RemoveAll();
    if (m_pDocTemplate != nullptr)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle != nullptr ? lpszTitle : "";
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CView* pView = GetNextView(pos);
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::SetPathName(LPCTSTR lpszPathName)
{
    m_strPathName = lpszPathName;
    CString title = m_strPathName;
    int slash = title.ReverseFind('\\');
    if (slash >= 0)
        title = title.Mid(slash + 1);
    SetTitle(title);
}

void CDocument::AddView(CView* pView)
{
    if (pView == nullptr || pView->m_pDocument != nullptr)
        return;
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    POSITION pos = m_viewList.Find(pView);
    if (pos == nullptr)
        return;
    m_viewList.RemoveAt(pos);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // The last view gone closes an auto-deleting document.
    if (m_viewList.IsEmpty() && m_bAutoDelete)
        OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CView* pView = GetNextView(pos);
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

namespace {

void ReportFileError(const char* what, LPCTSTR lpszPathName)
{
    CString text = what;
    text += lpszPathName;
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

} // namespace

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        ReportFileError("Cannot open ", lpszPathName);
        return FALSE;
    }
    DeleteContents();
    try {
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        DeleteContents();
        ReportFileError("Cannot read ", lpszPathName);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    // The document is written beside its final name and takes that name only once whole,
    // so a failed save leaves the previous file as it was.
    CString partial = lpszPathName;
    partial += ".partial";
    CFile file;
    CFileException fe;
    if (!file.Open(partial, CFile::modeCreate | CFile::modeWrite, &fe)) {
        ReportFileError("Cannot write ", lpszPathName);
        return FALSE;
    }
    BOOL bSaved = TRUE;
    try {
        CArchive ar(&file, CArchive::store);
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        e->Delete();
        file.Abort();
        bSaved = FALSE;
    }
    if (bSaved)
        bSaved = ::MoveFileExA(partial, lpszPathName,
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!bSaved) {
        ::DeleteFileA(partial);
        ReportFileError("Cannot write ", lpszPathName);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Destroying the frames destroys the views, which leave the list as they go; keep the
    // document alive until the end.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty()) {
        CView* pView = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != nullptr && pFrame->m_hWnd != nullptr)
            pFrame->DestroyWindow();
        else if (pView->m_hWnd != nullptr)
            pView->DestroyWindow();
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == pView)
            RemoveView(pView); // a view that did not leave by itself
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString format;
    format.LoadString(AFX_IDP_ASK_TO_SAVE);
    CString prompt;
    prompt.Format(format.IsEmpty() ? "Save changes to %s?" : static_cast<LPCTSTR>(format),
                  static_cast<LPCTSTR>(name));
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES: {
        CString path = m_strPathName;
        if (path.IsEmpty()) {
            CFileDialog dlg(FALSE, nullptr, m_strTitle);
            if (dlg.DoModal() != IDOK)
                return FALSE;
            path = dlg.GetPathName();
        }
        if (!OnSaveDocument(path))
            return FALSE;
        return TRUE;
    }
    default:
        SetModifiedFlag(FALSE);
        return TRUE;
    }
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate != nullptr &&
           m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass)
{
}

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int i = 0; i < index; ++i) {
        int nl = m_strDocStrings.Find('\n', start);
        if (nl < 0)
            return FALSE;
        start = nl + 1;
    }
    int end = m_strDocStrings.Find('\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return TRUE;
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (m_pDocClass == nullptr)
        return nullptr;
    CObject* pObject = m_pDocClass->CreateObject();
    auto* pDocument = dynamic_cast<CDocument*>(pObject);
    if (pDocument == nullptr) {
        delete pObject;
        return nullptr;
    }
    AddDocument(pDocument);
    return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (m_pFrameClass == nullptr)
        return nullptr;
    CObject* pObject = m_pFrameClass->CreateObject();
    auto* pFrame = dynamic_cast<CFrameWnd*>(pObject);
    if (pFrame == nullptr) {
        delete pObject;
        return nullptr;
    }
    // A frame whose window could not be made has deleted itself (PostNcDestroy).
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr,
                           &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr)
        if (!GetNextDoc(pos)->SaveModified())
            return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* pDoc = GetNextDoc(pos);
        pDoc->OnCloseDocument();
    }
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                       CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
    LoadTemplate();
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc != nullptr)
        m_pOnlyDoc->OnCloseDocument();
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    ASSERT(m_pOnlyDoc == nullptr);
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
    CDocTemplate::RemoveDocument(pDoc);
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc != nullptr ? BEFORE_START_POSITION : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = rPos == BEFORE_START_POSITION ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return pDoc;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title.LoadString(AFX_IDS_UNTITLED);
    if (title.IsEmpty())
        title = "Untitled";
    pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = m_pOnlyDoc;
    CFrameWnd* pFrame = nullptr;
    bool created = false;
    if (pDocument != nullptr) {
        if (!pDocument->SaveModified())
            return nullptr;
        POSITION pos = pDocument->GetFirstViewPosition();
        if (pos != nullptr)
            pFrame = pDocument->GetNextView(pos)->GetParentFrame();
    } else {
        pDocument = CreateNewDocument();
        if (pDocument == nullptr)
            return nullptr;
        created = true;
    }
    if (pFrame == nullptr) {
        // The document must not close itself while its first view comes and goes.
        BOOL bAutoDelete = pDocument->m_bAutoDelete;
        pDocument->m_bAutoDelete = FALSE;
        pFrame = CreateNewFrame(pDocument, nullptr);
        pDocument->m_bAutoDelete = bAutoDelete;
        if (pFrame == nullptr) {
            if (created)
                delete pDocument;
            return nullptr;
        }
    }
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            if (created)
                pFrame->DestroyWindow(); // takes the view and with it the document
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            if (created)
                pFrame->DestroyWindow();
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    CWinThread* pThread = AfxGetThread();
    if (created && pThread != nullptr && pThread->m_pMainWnd == nullptr)
        pThread->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

CDocManager::~CDocManager()
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr)
        delete GetNextDocTemplate(pos);
    m_templateList.RemoveAll();
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate == nullptr)
        return;
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

void CDocManager::OnFileNew()
{
    if (m_templateList.IsEmpty())
        return;
    static_cast<CDocTemplate*>(m_templateList.GetHead())->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                    "All Files (*.*)|*.*||", AfxGetMainWnd());
    if (dlg.DoModal() == IDOK)
        OpenDocumentFile(dlg.GetPathName());
}

CDocument* CDocManager::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (m_templateList.IsEmpty())
        return nullptr;
    return static_cast<CDocTemplate*>(m_templateList.GetHead())->OpenDocumentFile(lpszFileName);
}

BOOL CDocManager::SaveAllModified()
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr)
        if (!GetNextDocTemplate(pos)->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

int CDocManager::GetOpenDocumentCount() const
{
    int n = 0;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        POSITION docPos = pTemplate->GetFirstDocPosition();
        while (docPos != nullptr) {
            pTemplate->GetNextDoc(docPos);
            ++n;
        }
    }
    return n;
}

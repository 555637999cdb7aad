// The lenient XML parser that turns a service reply into a node tree, and its writer half.
// Classes here: COXParserObject, COXAttribute, COXParserElement, COXParser.
#pragma once

#include "foundation/xml/hash_table.h"
#include "foundation/xml/quick_string.h"

#include <memory>
#include <vector>

class CFile;

//! One node of the tree: its text, kind and parent.
class COXParserObject
{
public:
    enum Kind {
        UNKNOWN = -1,
        ATTRIBUTE = 0,
        CDATA = 1,
        COMMENT = 2,
        ELEMENT = 3,
        MARKUP = 4,
        PLAINTEXT = 5,
        PROCINSTR = 6,
        RAWTEXT = 7,
    };

    explicit COXParserObject(COXParserObject* parent = nullptr, int kind = UNKNOWN);
    COXParserObject(const COXParserObject&) = delete;
    COXParserObject& operator=(const COXParserObject&) = delete;
    virtual ~COXParserObject() = default;

    int GetType() const { return m_nType; }
    //! The node's text; "" when empty.
    const char* GetText() const { return m_Text.GetText(); }
    const char* GetName() const { return m_Text.GetText(); }
    void SetText(const char* text) { m_Text.SetText(text); }
    COXQuickString& Text() { return m_Text; }
    COXParserObject* GetParent() const { return m_pParent; }
    void SetParent(COXParserObject* parent) { m_pParent = parent; }

protected:
    COXQuickString m_Text;
    int m_nType;
    COXParserObject* m_pParent;
    int m_nValueType = 0;
};

//! An attribute of an element: no value, a text value or an integer value.
class COXAttribute : public COXParserObject
{
public:
    enum ValueType { NONE = -1, TEXT = 0, INTEGER = 1 };

    explicit COXAttribute(COXParserObject* parent = nullptr);

    int GetValueType() const { return m_nValueType; }
    //! A text value ("" when empty), or an integer value formatted with "%d".
    const char* GetValueText() const;
    //! 0 for a text attribute.
    int GetIntValue() const { return m_nValueType == INTEGER ? m_nIntValue : 0; }
    void SetTextValue(const char* text);
    void SetIntValue(int n);

private:
    COXQuickString m_TextValue;
    int m_nIntValue = 0;
    mutable char m_szIntText[20] = {};
};

//! An element: a tag with ordered, owned children and attributes.
class COXParserElement : public COXParserObject
{
public:
    explicit COXParserElement(COXParserObject* parent = nullptr, const char* tag = nullptr);

    int GetChildCount() const { return static_cast<int>(m_Children.size()); }
    //! Null when out of range.
    COXParserObject* GetChild(int i) const;
    int GetAttributeCount() const { return static_cast<int>(m_Attributes.size()); }
    COXAttribute* GetAttribute(int i) const;

    //! The element takes ownership of the node and becomes its parent.
    void AddObject(COXParserObject* node);
    void AddAttribute(COXAttribute* attribute);
    void DeleteContents();

private:
    std::vector<std::unique_ptr<COXParserObject>> m_Children;
    std::vector<std::unique_ptr<COXAttribute>> m_Attributes;
};

typedef void (*OXPARSER_ERROR_CALLBACK)(int code, const char* message, int line, int column,
                                        void* userData);

class COXParser
{
public:
    enum Error {
        ERROR_NULL_BUFFER = 101,
        ERROR_END_OF_BUFFER = 102,
        ERROR_OUT_OF_MEMORY = 103,
        ERROR_NO_TOKEN = 104,
        ERROR_ILLEGAL_CHARACTER = 105,
        ERROR_UNEXPECTED_TOKEN = 106,
        ERROR_MISSING_END_TAG = 107,
        ERROR_BAD_ENTITY = 108,
        ERROR_BAD_INTEGER = 109,
        ERROR_MISSING_BRACKET = 110,
        ERROR_UNEXPECTED_END_TAG = 201,
    };
    //! Deeper nesting fails the parse instead of exhausting the stack.
    static constexpr int MaxDepth = 512;

    COXParser();
    COXParser(const COXParser&) = delete;
    COXParser& operator=(const COXParser&) = delete;
    virtual ~COXParser();

    //! 1 when the whole text was read; 0 for a null text or after an error. The text must stay
    //! unchanged and alive during the call. Each parse starts from an empty root.
    int Parse(const char* text);
    COXParserElement* GetRoot() { return &m_Root; }

    virtual void Clear();
    //! The fixed text of an error code.
    virtual const char* GetErrorText(int code) const;

    //! Writes a node and its subtree to an open file; 0 when the file cannot be written.
    int WriteNode(CFile& file, COXParserObject* node, int level);

    void SetErrorCallback(OXPARSER_ERROR_CALLBACK callback, void* userData)
    {
        m_pfnErrorCallback = callback;
        m_pErrorUserData = userData;
    }

    bool m_bStrictEndTags = true;

protected:
    enum Token {
        TOKEN_NONE = -1,
        TOKEN_START_TAG = 0,
        TOKEN_END_TAG_START = 1,
        TOKEN_INSTRUCTION_START = 2,
        TOKEN_TAG_END = 4,
        TOKEN_EMPTY_TAG_END = 5,
        TOKEN_COMMENT_START = 6,
        TOKEN_MARKUP_START = 7,
        TOKEN_COMMENT_END = 8,
        TOKEN_EQUALS = 9,
        TOKEN_DOUBLE_QUOTE = 10,
        TOKEN_APOSTROPHE = 11,
        TOKEN_NAME = 12,
    };

    virtual void Reset();
    virtual int OnParseDone() { return 1; }
    virtual COXParserObject* ParseProcessingInstruction(COXParserElement* parent);
    virtual COXParserObject* ParseMarkup(COXParserElement* parent);
    virtual COXParserObject* ParseComment(COXParserElement* parent);
    virtual COXParserObject* ParseText(COXParserElement* parent);
    virtual COXParserElement* ParseStartTag(COXParserElement* parent);
    virtual int IsImplicitEnd(const char* tag, const char* nextTag, int isEndTag) { return 0; }
    virtual int IsElementSkipped(COXParserElement* element, int isEmpty) { return 0; }
    virtual int IsEndTagIgnored(const char* tag) { return 0; }
    virtual void AddChild(COXParserElement* parent, COXParserObject* child);
    virtual int ParseAttributes(COXParserElement* element);
    virtual int ParseContent(COXParserElement* element, int depth);
    virtual int ParseEndTag(COXQuickString& name);
    //! The replacement text of an entity name (without '&' and ';'), or null when unknown.
    virtual const char* ResolveEntity(const char* name);
    virtual int EncodeChar(COXQuickString& out, char c);
    virtual int EncodeText(COXQuickString& out, const char* text);
    virtual int WriteAttributes(CFile& file, COXParserElement* element);
    virtual int WriteCData(CFile& file, COXParserObject* node, int level);
    virtual int WriteComment(CFile& file, COXParserObject* node, int level);
    virtual int WriteElement(CFile& file, COXParserElement* element, int level);
    virtual int WriteMarkup(CFile& file, COXParserObject* node, int level);
    virtual int WriteProcessingInstruction(CFile& file, COXParserObject* node, int level);
    virtual int WriteText(CFile& file, COXParserObject* node, int level);
    virtual void OnError(int code, const char* message, int line, int column) {}

    // Reading
    char GetChar(bool reportEnd = false);
    //! Moves the cursor back n characters as GetChar counts them (CR LF is one), never before
    //! the start of the text, and sets line and column to what they were there.
    void StepBack(int n);
    struct Position {
        const char* cursor;
        int line;
        int column;
    };
    Position SavePosition() const { return {m_pCursor, m_nLine, m_nColumn}; }
    void RestorePosition(const Position& p);
    bool GetToken();
    int ReadName(COXQuickString& name);
    int ReadString(COXQuickString& value, char quote);
    int ReadInteger(int& value);
    //! Collects characters up to `terminator` (consumed, not kept). False at the end of text.
    bool ReadUntil(COXQuickString& text, const char* terminator);
    void AppendEntityText(COXQuickString& text, const char* replacement) { text.Append(replacement); }
    void ReportError(int code, const char* format, ...);

    // Writing
    int Write(CFile& file, const char* text);
    int WriteIndent(CFile& file, int level);
    int WriteLine(CFile& file, int level, const char* open, const char* text, const char* close);

    void AddEntity(const char* name, const char* text);
    void DeclareEntities(const COXQuickString& item);

    const char* m_pszIndent = "   ";
    int m_nLineWidth = 80;
    COXHashTable m_Entities{true};
    std::vector<std::unique_ptr<char[]>> m_EntityTexts;
    COXParserElement m_Root;
    int m_nToken = TOKEN_NONE;
    Position m_TokenStart{};
    const char* m_pBuffer = nullptr;
    const char* m_pCursor = nullptr;
    int m_nLine = 0;
    int m_nColumn = 0;
    OXPARSER_ERROR_CALLBACK m_pfnErrorCallback = nullptr;
    void* m_pErrorUserData = nullptr;
    char m_szCharEntity[2] = {};
};

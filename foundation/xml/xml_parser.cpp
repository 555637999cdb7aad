// COXParser: lenient XML parser and writer.
#include "foundation/xml/xml_parser.h"

#include "framework/core.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#ifdef _WIN32
#include <mbstring.h>
#else
#include <strings.h>
#endif

namespace {

bool IsBlank(char c)
{
    return c != 0 && std::isspace(static_cast<unsigned char>(c));
}

bool IsNameChar(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return (u < 0x80 && std::isalnum(u)) || c == '-' || c == ':' || c == '_';
}

bool SameNoCase(const char* a, const char* b)
{
#ifdef _WIN32
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a),
                    reinterpret_cast<const unsigned char*>(b)) == 0;
#else
    return strcasecmp(a, b) == 0;
#endif
}

// The HTML 4 Latin-1 entities, 0xA0 to 0xFF in order.
const char* const kLatin1Entities[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Nodes

COXParserObject::COXParserObject(COXParserObject* parent, int kind)
    : m_nType(kind), m_pParent(parent)
{
}

COXAttribute::COXAttribute(COXParserObject* parent) : COXParserObject(parent, ATTRIBUTE)
{
    m_nValueType = NONE;
}

const char* COXAttribute::GetValueText() const
{
    if (m_nValueType == INTEGER) {
        std::snprintf(m_szIntText, sizeof m_szIntText, "%d", m_nIntValue);
        return m_szIntText;
    }
    return m_TextValue.GetText();
}

void COXAttribute::SetTextValue(const char* text)
{
    m_TextValue.SetText(text);
    m_nValueType = TEXT;
}

void COXAttribute::SetIntValue(int n)
{
    m_TextValue.Empty();
    m_nIntValue = n;
    m_nValueType = INTEGER;
}

COXParserElement::COXParserElement(COXParserObject* parent, const char* tag)
    : COXParserObject(parent, ELEMENT)
{
    if (tag)
        m_Text.SetText(tag);
}

COXParserObject* COXParserElement::GetChild(int i) const
{
    return i >= 0 && i < GetChildCount() ? m_Children[i].get() : nullptr;
}

COXAttribute* COXParserElement::GetAttribute(int i) const
{
    return i >= 0 && i < GetAttributeCount() ? m_Attributes[i].get() : nullptr;
}

void COXParserElement::AddObject(COXParserObject* node)
{
    node->SetParent(this);
    m_Children.emplace_back(node);
}

void COXParserElement::AddAttribute(COXAttribute* attribute)
{
    attribute->SetParent(this);
    m_Attributes.emplace_back(attribute);
}

void COXParserElement::DeleteContents()
{
    m_Children.clear();
    m_Attributes.clear();
}

// ---------------------------------------------------------------------------------------------
// Parser set-up

COXParser::COXParser() : m_Root(nullptr, "[Root]")
{
    AddEntity("amp", "&");
    AddEntity("lt", "<");
    AddEntity("gt", ">");
    AddEntity("quot", "\"");
    AddEntity("apos", "'");
    for (int i = 0; i < 96; ++i) {
        // nbsp stands for a plain blank, not 0xA0.
        char text[2] = {i == 0 ? ' ' : static_cast<char>(0xA0 + i), 0};
        AddEntity(kLatin1Entities[i], text);
    }
}

COXParser::~COXParser() = default;

void COXParser::AddEntity(const char* name, const char* text)
{
    size_t n = std::strlen(text);
    std::unique_ptr<char[]> copy(new char[n + 1]);
    std::memcpy(copy.get(), text, n + 1);
    if (m_Entities.SetAt(name, copy.get()))
        m_EntityTexts.push_back(std::move(copy));
}

void COXParser::Clear()
{
    m_Root.DeleteContents();
    m_pBuffer = nullptr;
    m_pCursor = nullptr;
    m_nToken = TOKEN_NONE;
    m_nLine = 0;
    m_nColumn = 0;
}

void COXParser::Reset()
{
    m_pCursor = m_pBuffer;
    m_nLine = 1;
    m_nColumn = 1;
    m_Root.SetText("[Root]");
    m_Root.SetParent(nullptr);
}

int COXParser::Parse(const char* text)
{
    Clear();
    if (!text) {
        ReportError(ERROR_NULL_BUFFER, "NULL buffer supplied.");
        return 0;
    }
    m_pBuffer = text;
    Reset();
    int result = ParseContent(&m_Root, 0);
    OnParseDone();
    return result;
}

const char* COXParser::GetErrorText(int code) const
{
    switch (code) {
    case ERROR_NULL_BUFFER: return "NULL buffer passed in";
    case ERROR_END_OF_BUFFER: return "Unexpected end of buffer";
    case ERROR_OUT_OF_MEMORY: return "Out of memory";
    case ERROR_NO_TOKEN: return "Unable to retrieve a token";
    case ERROR_ILLEGAL_CHARACTER: return "Illegal characters encountered in token";
    case ERROR_UNEXPECTED_TOKEN: return "Unexpected token type";
    case ERROR_MISSING_END_TAG: return "Missing end tag";
    case ERROR_BAD_ENTITY: return "Bad entity string";
    case ERROR_BAD_INTEGER: return "Bad integer value";
    case ERROR_MISSING_BRACKET: return "Missing end bracket in tag";
    case ERROR_UNEXPECTED_END_TAG: return "Unexpected end tag";
    default: return "Unknown Error";
    }
}

void COXParser::ReportError(int code, const char* format, ...)
{
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (m_pfnErrorCallback)
        m_pfnErrorCallback(code, message, m_nLine, m_nColumn, m_pErrorUserData);
    else
        OnError(code, message, m_nLine, m_nColumn);
}

// ---------------------------------------------------------------------------------------------
// Reading characters and tokens

char COXParser::GetChar(bool reportEnd)
{
    if (!m_pCursor) {
        ReportError(ERROR_NULL_BUFFER, "NULL buffer supplied.");
        return 0;
    }
    char c = *m_pCursor;
    if (c == 0) {
        if (reportEnd)
            ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer.");
        return 0;
    }
    ++m_pCursor;
    if (c == '\r') {
        // CR and CR LF both read as one line feed.
        if (*m_pCursor == '\n')
            ++m_pCursor;
        c = '\n';
    }
    if (c == '\n') {
        ++m_nLine;
        m_nColumn = 0;
    } else {
        ++m_nColumn;
    }
    return c;
}

void COXParser::StepBack(int n)
{
    for (; n > 0 && m_pCursor && m_pCursor > m_pBuffer; --n) {
        --m_pCursor;
        if (*m_pCursor == '\n' && m_pCursor > m_pBuffer && m_pCursor[-1] == '\r')
            --m_pCursor;
        if (*m_pCursor != '\n' && *m_pCursor != '\r') {
            --m_nColumn;
            continue;
        }
        // Back on the line before: its column counts its characters, from 1 on the first
        // line of the text (as Reset starts it) and from 0 after a line feed.
        --m_nLine;
        const char* lineStart = m_pCursor;
        while (lineStart > m_pBuffer && lineStart[-1] != '\n' && lineStart[-1] != '\r')
            --lineStart;
        m_nColumn = static_cast<int>(m_pCursor - lineStart) + (lineStart == m_pBuffer ? 1 : 0);
    }
}

void COXParser::RestorePosition(const Position& p)
{
    m_pCursor = p.cursor;
    m_nLine = p.line;
    m_nColumn = p.column;
}

bool COXParser::GetToken()
{
    m_nToken = TOKEN_NONE;
    while (IsBlank(m_pCursor ? *m_pCursor : 0))
        GetChar();
    m_TokenStart = SavePosition();
    char c = GetChar();
    if (c == 0)
        return false;
    Position afterFirst = SavePosition();
    switch (c) {
    case '<': {
        char c2 = GetChar();
        if (c2 == '?') {
            m_nToken = TOKEN_INSTRUCTION_START;
        } else if (c2 == '/') {
            m_nToken = TOKEN_END_TAG_START;
        } else if (c2 == '!') {
            Position afterBang = SavePosition();
            if (GetChar() == '-' && GetChar() == '-') {
                m_nToken = TOKEN_COMMENT_START;
            } else {
                RestorePosition(afterBang);
                m_nToken = TOKEN_MARKUP_START;
            }
        } else {
            RestorePosition(afterFirst);
            m_nToken = TOKEN_START_TAG;
        }
        break;
    }
    case '>': m_nToken = TOKEN_TAG_END; break;
    case '=': m_nToken = TOKEN_EQUALS; break;
    case '"': m_nToken = TOKEN_DOUBLE_QUOTE; break;
    case '\'': m_nToken = TOKEN_APOSTROPHE; break;
    case '/':
        if (GetChar() == '>') {
            m_nToken = TOKEN_EMPTY_TAG_END;
            break;
        }
        RestorePosition(m_TokenStart);
        m_nToken = TOKEN_NAME;
        break;
    case '-':
        if (GetChar() == '-' && GetChar() == '>') {
            m_nToken = TOKEN_COMMENT_END;
            break;
        }
        RestorePosition(m_TokenStart);
        m_nToken = TOKEN_NAME;
        break;
    default:
        RestorePosition(m_TokenStart);
        m_nToken = TOKEN_NAME;
        break;
    }
    return true;
}

int COXParser::ReadName(COXQuickString& name)
{
    name.Empty();
    for (;;) {
        Position before = SavePosition();
        char c = GetChar();
        if (IsNameChar(c)) {
            if (!name.AppendChar(c))
                return 0;
            continue;
        }
        if (c == 0) {
            ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer while name.");
            name.Empty();
            return 0;
        }
        if (IsBlank(c) || c == '>' || c == '/' || c == '=') {
            RestorePosition(before);
            return 1;
        }
        ReportError(ERROR_ILLEGAL_CHARACTER, "Illegal character (%c) encountered while parsing name.",
                    c);
        name.Empty();
        return 0;
    }
}

int COXParser::ReadString(COXQuickString& value, char quote)
{
    value.Empty();
    for (;;) {
        char c = GetChar();
        if (c == 0) {
            ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer while parsing string.");
            return 0;
        }
        if (c == quote)
            return 1;
        if (!value.AppendChar(c))
            return 0;
    }
}

int COXParser::ReadInteger(int& value)
{
    long long v = 0;
    int sign = 1;
    Position before = SavePosition();
    char c = GetChar();
    if (c == '+' || c == '-') {
        sign = c == '-' ? -1 : 1;
        before = SavePosition();
        c = GetChar();
    }
    while (c >= '0' && c <= '9') {
        if (v < 0x100000000LL)
            v = v * 10 + (c - '0');
        before = SavePosition();
        c = GetChar();
    }
    if (c == 0) {
        ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer while parsing integer.");
        return 0;
    }
    RestorePosition(before);
    value = static_cast<int>(static_cast<unsigned>(sign * v));
    return 1;
}

bool COXParser::ReadUntil(COXQuickString& text, const char* terminator)
{
    size_t n = std::strlen(terminator);
    text.Empty();
    for (;;) {
        if (std::strncmp(m_pCursor, terminator, n) == 0) {
            for (size_t i = 0; i < n; ++i)
                GetChar();
            return true;
        }
        char c = GetChar();
        if (c == 0)
            return false;
        text.AppendChar(c);
    }
}

// ---------------------------------------------------------------------------------------------
// Structure

void COXParser::AddChild(COXParserElement* parent, COXParserObject* child)
{
    parent->AddObject(child);
}

int COXParser::ParseContent(COXParserElement* element, int depth)
{
    if (depth > MaxDepth) {
        ReportError(ERROR_UNEXPECTED_TOKEN, "Elements nested too deeply.");
        return 0;
    }
    while (GetToken()) {
        Position tokenStart = m_TokenStart;
        switch (m_nToken) {
        case TOKEN_START_TAG: {
            std::unique_ptr<COXParserElement> child(ParseStartTag(element));
            if (!child)
                return 0;
            int empty = m_nToken == TOKEN_EMPTY_TAG_END;
            if (IsElementSkipped(child.get(), empty))
                continue;
            if (depth > 0 && IsImplicitEnd(element->GetName(), child->GetName(), 0)) {
                RestorePosition(tokenStart);
                return 1;
            }
            if (!empty && !ParseContent(child.get(), depth + 1))
                return 0;
            AddChild(element, child.release());
            break;
        }
        case TOKEN_END_TAG_START: {
            COXQuickString name;
            if (!ParseEndTag(name))
                return 0;
            if (IsEndTagIgnored(name.GetText()))
                continue;
            if (depth == 0) {
                ReportError(ERROR_UNEXPECTED_END_TAG, "Unexpected end tag '%s'.", name.GetText());
                continue;
            }
            if (SameNoCase(name.GetText(), element->GetName()))
                return 1;
            if (IsImplicitEnd(element->GetName(), name.GetText(), 1)) {
                RestorePosition(tokenStart);
                return 1;
            }
            ReportError(ERROR_MISSING_END_TAG, "Expecting end tag '%s'. Found end tag '%s' instead.",
                        element->GetName(), name.GetText());
            if (m_bStrictEndTags)
                return 0;
            break;
        }
        case TOKEN_INSTRUCTION_START:
        case TOKEN_COMMENT_START:
        case TOKEN_MARKUP_START: {
            COXParserObject* node = m_nToken == TOKEN_INSTRUCTION_START
                                        ? ParseProcessingInstruction(element)
                                    : m_nToken == TOKEN_COMMENT_START ? ParseComment(element)
                                                                      : ParseMarkup(element);
            if (!node)
                return 0;
            AddChild(element, node);
            break;
        }
        case TOKEN_NAME:
        case TOKEN_DOUBLE_QUOTE:
        case TOKEN_APOSTROPHE:
        case TOKEN_EQUALS: {
            RestorePosition(tokenStart);
            COXParserObject* node = ParseText(element);
            if (!node)
                return 0;
            AddChild(element, node);
            break;
        }
        default:
            ReportError(ERROR_UNEXPECTED_TOKEN, "Unexpected token.");
            return 0;
        }
    }
    if (depth == 0 || IsImplicitEnd(element->GetName(), nullptr, 1))
        return 1;
    ReportError(ERROR_MISSING_END_TAG, "Missing end tag '%s'.", element->GetName());
    return 0;
}

COXParserElement* COXParser::ParseStartTag(COXParserElement* parent)
{
    if (!GetToken()) {
        ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer while searching for tag name.");
        return nullptr;
    }
    if (m_nToken != TOKEN_NAME) {
        ReportError(ERROR_UNEXPECTED_TOKEN, "Expecting tag name - none found.");
        return nullptr;
    }
    COXQuickString tag;
    if (!ReadName(tag))
        return nullptr;
    std::unique_ptr<COXParserElement> element(new (std::nothrow)
                                                  COXParserElement(parent, tag.GetText()));
    if (!element) {
        ReportError(ERROR_OUT_OF_MEMORY, "Unable to create new parser Element");
        return nullptr;
    }
    if (!ParseAttributes(element.get()))
        return nullptr;
    if (m_nToken != TOKEN_TAG_END && m_nToken != TOKEN_EMPTY_TAG_END) {
        ReportError(ERROR_MISSING_BRACKET, "Closing bracket for start tag '%s' not found.",
                    element->GetName());
        return nullptr;
    }
    return element.release();
}

int COXParser::ParseAttributes(COXParserElement* element)
{
    for (;;) {
        if (!GetToken())
            return 0;
        if (m_nToken != TOKEN_NAME)
            return 1;
        std::unique_ptr<COXAttribute> attribute(new (std::nothrow) COXAttribute(element));
        if (!attribute) {
            ReportError(ERROR_OUT_OF_MEMORY, "Unable to create new attribute (element %s)",
                        element->GetName());
            return 0;
        }
        if (!ReadName(attribute->Text()))
            return 0;
        const char* name = attribute->GetName();
        if (!GetToken()) {
            ReportError(ERROR_NO_TOKEN, "Error while parsing attribute (element %s, name %s).",
                        element->GetName(), name);
            return 0;
        }
        if (m_nToken != TOKEN_EQUALS) {
            ReportError(ERROR_UNEXPECTED_TOKEN,
                        "Unexpected token while parsing attribute (element %s, name %s).",
                        element->GetName(), name);
            return 0;
        }
        if (!GetToken()) {
            ReportError(ERROR_NO_TOKEN, "Error while parsing attribute (element %s, name %s).",
                        element->GetName(), name);
            return 0;
        }
        if (m_nToken == TOKEN_DOUBLE_QUOTE || m_nToken == TOKEN_APOSTROPHE) {
            COXQuickString value;
            if (!ReadString(value, m_nToken == TOKEN_DOUBLE_QUOTE ? '"' : '\''))
                return 0;
            attribute->SetTextValue(value.GetText());
        } else if (m_nToken == TOKEN_NAME) {
            int value = 0;
            if (!ReadInteger(value))
                return 0;
            attribute->SetIntValue(value);
        } else {
            ReportError(ERROR_UNEXPECTED_TOKEN,
                        "Unexpected token while parsing attribute (element %s, name %s).",
                        element->GetName(), name);
            return 0;
        }
        element->AddAttribute(attribute.release());
    }
}

int COXParser::ParseEndTag(COXQuickString& name)
{
    if (!GetToken()) {
        ReportError(ERROR_NO_TOKEN, "Unexpected end of buffer while parsing endtag.");
        return 0;
    }
    if (m_nToken != TOKEN_NAME) {
        ReportError(ERROR_UNEXPECTED_TOKEN, "Missing end tag name.");
        return 0;
    }
    if (!ReadName(name))
        return 0;
    if (!GetToken() || m_nToken != TOKEN_TAG_END) {
        ReportError(ERROR_NO_TOKEN, "Missing end bracket while parsing end tag '%s'.",
                    name.GetText());
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Texts, entities, declarations

COXParserObject* COXParser::ParseText(COXParserElement* parent)
{
    std::unique_ptr<COXParserObject> node(new COXParserObject(parent, COXParserObject::PLAINTEXT));
    COXQuickString& text = node->Text();
    for (;;) {
        char next = *m_pCursor;
        if (next == 0 || next == '<')
            break;
        char c = GetChar();
        if (c != '&') {
            text.AppendChar(c);
            continue;
        }
        COXQuickString name;
        while (*m_pCursor && *m_pCursor != ';' && *m_pCursor != '<' && !IsBlank(*m_pCursor))
            name.AppendChar(GetChar());
        if (*m_pCursor == ';') {
            GetChar();
            if (const char* replacement = ResolveEntity(name.GetText())) {
                AppendEntityText(text, replacement);
            } else {
                ReportError(ERROR_BAD_ENTITY, "Bad character entity '&%s;' encountered.",
                            name.GetText());
                text.AppendChar('&');
                text.Append(name);
                text.AppendChar(';');
            }
        } else {
            ReportError(ERROR_BAD_ENTITY, "Missing ';' on character entity '&%s'.", name.GetText());
            text.AppendChar('&');
            text.Append(name);
        }
    }
    text.Trim();
    return node.release();
}

const char* COXParser::ResolveEntity(const char* name)
{
    if (name[0] == '#') {
        const char* p = name + 1;
        int base = 10;
        if (*p == 'x' || *p == 'X') {
            base = 16;
            ++p;
        }
        if (!*p)
            return nullptr;
        unsigned value = 0;
        for (; *p; ++p) {
            int digit;
            if (*p >= '0' && *p <= '9')
                digit = *p - '0';
            else if (base == 16 && std::isxdigit(static_cast<unsigned char>(*p)))
                digit = std::tolower(static_cast<unsigned char>(*p)) - 'a' + 10;
            else
                return nullptr;
            // Only the value modulo 256 matters.
            value = (value * base + digit) & 0xFF;
        }
        m_szCharEntity[0] = static_cast<char>(value);
        m_szCharEntity[1] = 0;
        return m_szCharEntity;
    }
    void* text = nullptr;
    return m_Entities.Lookup(name, text) ? static_cast<const char*>(text) : nullptr;
}

COXParserObject* COXParser::ParseProcessingInstruction(COXParserElement* parent)
{
    std::unique_ptr<COXParserObject> node(new COXParserObject(parent, COXParserObject::PROCINSTR));
    if (!ReadUntil(node->Text(), "?>")) {
        ReportError(ERROR_END_OF_BUFFER,
                    "Unexpected end of buffer while parsing processing instruction.");
        return nullptr;
    }
    return node.release();
}

COXParserObject* COXParser::ParseComment(COXParserElement* parent)
{
    std::unique_ptr<COXParserObject> node(new COXParserObject(parent, COXParserObject::COMMENT));
    if (!ReadUntil(node->Text(), "-->")) {
        ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer while parsing comment.");
        return nullptr;
    }
    return node.release();
}

// An internal-subset item "!ENTITY name text" adds `name` to the entity table.
void COXParser::DeclareEntities(const COXQuickString& item)
{
    const char* s = item.GetText();
    if (item.GetLength() <= 8 || !SameNoCase(std::string(s, 8).c_str(), "!ENTITY "))
        return;
    const char* name = s + 8;
    const char* blank = name;
    while (*blank && !IsBlank(*blank))
        ++blank;
    if (!*blank || blank == name)
        return;
    const char* text = blank;
    while (*text == ' ' || *text == '\t')
        ++text;
    const char* end = text;
    while (*end && !IsBlank(*end) && *end != '>')
        ++end;
    AddEntity(std::string(name, blank).c_str(), std::string(text, end).c_str());
}

COXParserObject* COXParser::ParseMarkup(COXParserElement* parent)
{
    if (std::strncmp(m_pCursor, "[CDATA[", 7) == 0) {
        for (int i = 0; i < 7; ++i)
            GetChar();
        std::unique_ptr<COXParserObject> node(new COXParserObject(parent, COXParserObject::CDATA));
        if (!ReadUntil(node->Text(), "]]>")) {
            ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer while CDATA.");
            return nullptr;
        }
        return node.release();
    }
    std::unique_ptr<COXParserObject> node(new COXParserObject(parent, COXParserObject::MARKUP));
    COXQuickString& text = node->Text();
    if (std::strncmp(m_pCursor, "DOCTYPE", 7) != 0) {
        if (!ReadUntil(text, ">")) {
            ReportError(ERROR_END_OF_BUFFER, "Unexpected end of buffer while parsing markup.");
            return nullptr;
        }
        return node.release();
    }
    const char* eof = "Unexpected end of buffer while parsing DOCTYPE entry.";
    char c;
    while ((c = GetChar()) != '[' && c != '>') {
        if (c == 0) {
            ReportError(ERROR_END_OF_BUFFER, eof);
            return nullptr;
        }
        text.AppendChar(c);
    }
    if (c == '>')
        return node.release();
    // The internal subset: entity declarations are taken, the rest left out of the text.
    while ((c = GetChar()) != ']') {
        if (c == 0) {
            ReportError(ERROR_END_OF_BUFFER, eof);
            return nullptr;
        }
        if (c != '<')
            continue;
        COXQuickString item;
        if (!ReadUntil(item, ">")) {
            ReportError(ERROR_END_OF_BUFFER, eof);
            return nullptr;
        }
        DeclareEntities(item);
    }
    while ((c = GetChar()) != '>') {
        if (c == 0) {
            ReportError(ERROR_END_OF_BUFFER, eof);
            return nullptr;
        }
        text.AppendChar(c);
    }
    return node.release();
}

// ---------------------------------------------------------------------------------------------
// Writer

int COXParser::Write(CFile& file, const char* text)
{
    try {
        file.Write(text, static_cast<UINT>(std::strlen(text)));
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}

int COXParser::WriteIndent(CFile& file, int level)
{
    for (int i = 0; i < level; ++i)
        if (!Write(file, m_pszIndent))
            return 0;
    return 1;
}

int COXParser::WriteLine(CFile& file, int level, const char* open, const char* text,
                         const char* close)
{
    return WriteIndent(file, level) && Write(file, open) && Write(file, text) &&
           Write(file, close) && Write(file, "\r\n");
}

int COXParser::WriteCData(CFile& file, COXParserObject* node, int level)
{
    return WriteLine(file, level, "<![CDATA[", node->GetText(), "]]>");
}

int COXParser::WriteComment(CFile& file, COXParserObject* node, int level)
{
    return WriteLine(file, level, "<!--", node->GetText(), "-->");
}

int COXParser::WriteMarkup(CFile& file, COXParserObject* node, int level)
{
    return WriteLine(file, level, "<!", node->GetText(), ">");
}

int COXParser::WriteProcessingInstruction(CFile& file, COXParserObject* node, int level)
{
    return WriteLine(file, level, "<?", node->GetText(), "?>");
}

int COXParser::WriteAttributes(CFile& file, COXParserElement* element)
{
    for (int i = 0; i < element->GetAttributeCount(); ++i) {
        COXAttribute* a = element->GetAttribute(i);
        COXQuickString out;
        out.Append(" ");
        out.Append(a->GetName());
        out.Append("=");
        if (a->GetValueType() == COXAttribute::INTEGER) {
            out.Append(a->GetValueText());
        } else {
            out.Append("\"");
            out.Append(a->GetValueType() == COXAttribute::TEXT ? a->GetValueText() : "");
            out.Append("\"");
        }
        if (!Write(file, out.GetText()))
            return 0;
    }
    return 1;
}

int COXParser::WriteElement(CFile& file, COXParserElement* element, int level)
{
    if (!WriteIndent(file, level) || !Write(file, "<") || !Write(file, element->GetName()) ||
        !WriteAttributes(file, element))
        return 0;
    if (element->GetChildCount() == 0)
        return Write(file, "/>\r\n");
    if (!Write(file, ">\r\n"))
        return 0;
    for (int i = 0; i < element->GetChildCount(); ++i)
        if (!WriteNode(file, element->GetChild(i), level + 1))
            return 0;
    return WriteLine(file, level, "</", element->GetName(), ">");
}

int COXParser::EncodeChar(COXQuickString& out, char c)
{
    const char* pos = nullptr;
    const char* key = nullptr;
    void* value = nullptr;
    void* it = m_Entities.GetStartPosition();
    while (it) {
        m_Entities.GetNextAssoc(it, key, value);
        const char* text = static_cast<const char*>(value);
        if (text[0] == c && text[1] == 0) {
            pos = key;
            break;
        }
    }
    if (!pos)
        return out.AppendChar(c);
    return out.Append("&") && out.Append(pos) && out.Append(";");
}

int COXParser::EncodeText(COXQuickString& out, const char* text)
{
    for (const char* p = text; *p; ++p)
        if (!EncodeChar(out, *p))
            return 0;
    return 1;
}

int COXParser::WriteText(CFile& file, COXParserObject* node, int level)
{
    COXQuickString source;
    source.SetText(node->GetText());
    source.Trim();
    // Pack the words into lines no wider than the line width.
    COXQuickString line;
    const char* p = source.GetText();
    while (*p) {
        const char* start = p;
        while (*p && *p != ' ' && *p != '\n')
            ++p;
        bool newline = *p == '\n';
        if (*p)
            ++p;
        COXQuickString word;
        COXQuickString raw;
        raw.AppendN(start, static_cast<int>(p - start) - (newline ? 1 : 0));
        if (node->GetType() == COXParserObject::RAWTEXT)
            word.Append(raw);
        else
            EncodeText(word, raw.GetText());
        if (!line.IsEmpty() && line.GetLength() + word.GetLength() >= m_nLineWidth) {
            line.TrimRight();
            if (!WriteLine(file, level, "", line.GetText(), ""))
                return 0;
            line.Empty();
        }
        line.Append(word);
        if (!newline && *p)
            line.AppendChar(' ');
        if (newline) {
            if (!WriteLine(file, level, "", line.GetText(), ""))
                return 0;
            line.Empty();
        }
    }
    if (!line.IsEmpty())
        return WriteLine(file, level, "", line.GetText(), "");
    return 1;
}

int COXParser::WriteNode(CFile& file, COXParserObject* node, int level)
{
    switch (node->GetType()) {
    case COXParserObject::CDATA: return WriteCData(file, node, level);
    case COXParserObject::COMMENT: return WriteComment(file, node, level);
    case COXParserObject::MARKUP: return WriteMarkup(file, node, level);
    case COXParserObject::PROCINSTR: return WriteProcessingInstruction(file, node, level);
    case COXParserObject::ELEMENT:
        return WriteElement(file, static_cast<COXParserElement*>(node), level);
    case COXParserObject::PLAINTEXT:
    case COXParserObject::RAWTEXT: return WriteText(file, node, level);
    default: return 1;
    }
}

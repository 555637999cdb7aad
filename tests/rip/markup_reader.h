// A small strict reader of the markup the playlist writers produce (XML, and HTML with its
// empty HR and BR elements), written for the tests from the XML rules, independent of the
// writers: any raw "<" or "&", unbalanced tag or bad reference is an error.
#pragma once

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct MarkupNode {
    std::string name;
    std::map<std::string, std::string> attrs;
    std::string text; // the text directly inside, references resolved
    std::vector<std::unique_ptr<MarkupNode>> children;

    const MarkupNode* Child(const std::string& n, size_t index = 0) const
    {
        for (const auto& c : children)
            if (c->name == n && index-- == 0)
                return c.get();
        return nullptr;
    }
    size_t Count(const std::string& n) const
    {
        size_t k = 0;
        for (const auto& c : children)
            k += c->name == n;
        return k;
    }
};

class MarkupReader
{
public:
    // voidElements: names (upper case) of elements that never have an end tag (HTML).
    explicit MarkupReader(std::vector<std::string> voidElements = {})
        : m_void(std::move(voidElements))
    {
    }

    // The root element, or null with Error() saying what is wrong and where.
    std::unique_ptr<MarkupNode> Parse(const std::string& doc)
    {
        m_s = doc;
        m_pos = 0;
        m_error.clear();
        auto root = std::make_unique<MarkupNode>();
        std::vector<MarkupNode*> open{root.get()};
        while (m_pos < m_s.size() && m_error.empty()) {
            if (m_s.compare(m_pos, 5, "<?xml") == 0) {
                if (m_pos != 0)
                    Fail("declaration not at the start");
                Skip("?>");
            } else if (m_s.compare(m_pos, 4, "<!--") == 0) {
                Skip("-->");
            } else if (m_s.compare(m_pos, 2, "</") == 0) {
                m_pos += 2;
                std::string name = Name();
                Expect('>');
                if (open.size() < 2 || open.back()->name != name)
                    Fail("end tag </" + name + "> does not close the open element");
                else
                    open.pop_back();
            } else if (m_s[m_pos] == '<') {
                ++m_pos;
                auto node = std::make_unique<MarkupNode>();
                node->name = Name();
                Attributes(*node);
                bool empty = IsVoid(node->name);
                if (m_s.compare(m_pos, 2, "/>") == 0) {
                    empty = true;
                    ++m_pos;
                }
                Expect('>');
                if (open.size() == 1 && !open.back()->children.empty())
                    Fail("second root element <" + node->name + ">");
                MarkupNode* raw = node.get();
                open.back()->children.push_back(std::move(node));
                if (!empty)
                    open.push_back(raw);
            } else {
                std::string text = Text('<');
                if (open.size() == 1) {
                    if (text.find_first_not_of(" \t\r\n") != std::string::npos)
                        Fail("text outside the root element");
                } else {
                    open.back()->text += text;
                }
            }
        }
        if (m_error.empty() && open.size() != 1)
            Fail("element <" + open.back()->name + "> not closed");
        if (m_error.empty() && root->children.size() != 1)
            Fail("no root element");
        if (!m_error.empty())
            return nullptr;
        return std::move(root->children.front());
    }

    const std::string& Error() const { return m_error; }

private:
    void Fail(const std::string& why)
    {
        if (m_error.empty())
            m_error = why + " at offset " + std::to_string(m_pos);
        m_pos = m_s.size();
    }
    bool IsVoid(std::string name) const
    {
        for (char& c : name)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        for (const auto& v : m_void)
            if (v == name)
                return true;
        return false;
    }
    void Skip(const char* end)
    {
        size_t e = m_s.find(end, m_pos);
        if (e == std::string::npos)
            return Fail(std::string("missing ") + end);
        m_pos = e + std::string(end).size();
    }
    void Expect(char c)
    {
        if (m_pos >= m_s.size() || m_s[m_pos] != c)
            return Fail(std::string("expected '") + c + "'");
        ++m_pos;
    }
    void Blanks()
    {
        while (m_pos < m_s.size() && isspace(static_cast<unsigned char>(m_s[m_pos])))
            ++m_pos;
    }
    std::string Name()
    {
        size_t start = m_pos;
        while (m_pos < m_s.size() &&
               (isalnum(static_cast<unsigned char>(m_s[m_pos])) || m_s[m_pos] == '_'))
            ++m_pos;
        if (start == m_pos)
            Fail("missing name");
        return m_s.substr(start, m_pos - start);
    }
    void Attributes(MarkupNode& node)
    {
        for (;;) {
            Blanks();
            if (m_pos >= m_s.size() || m_s[m_pos] == '>' || m_s[m_pos] == '/')
                return;
            std::string name = Name();
            Expect('=');
            if (m_pos >= m_s.size() || (m_s[m_pos] != '"' && m_s[m_pos] != '\''))
                return Fail("unquoted attribute " + name);
            char quote = m_s[m_pos++];
            std::string value = Text(quote);
            Expect(quote);
            if (!node.attrs.emplace(name, value).second)
                Fail("attribute " + name + " twice");
            if (!m_error.empty())
                return;
        }
    }
    // Character data up to the stop character, references resolved; a raw "<" or "&" fails.
    std::string Text(char stop)
    {
        std::string out;
        while (m_pos < m_s.size() && m_s[m_pos] != stop) {
            char c = m_s[m_pos];
            if (c == '<')
                Fail("raw '<' in text");
            else if (c == '&')
                out += Reference();
            else
                out += c, ++m_pos;
        }
        return out;
    }
    std::string Reference()
    {
        size_t semi = m_s.find(';', m_pos);
        if (semi == std::string::npos || semi - m_pos > 8) {
            Fail("raw '&' in text");
            return "";
        }
        std::string ref = m_s.substr(m_pos + 1, semi - m_pos - 1);
        m_pos = semi + 1;
        static const std::map<std::string, std::string> kNamed = {
            {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
        auto it = kNamed.find(ref);
        if (it != kNamed.end())
            return it->second;
        if (ref.size() > 1 && ref[0] == '#' && isdigit(static_cast<unsigned char>(ref[1]))) {
            long v = std::stol(ref.substr(1));
            if (v > 0 && v < 128)
                return std::string(1, static_cast<char>(v));
        }
        Fail("unknown reference &" + ref + ";");
        return "";
    }

    std::vector<std::string> m_void;
    std::string m_s;
    size_t m_pos = 0;
    std::string m_error;
};

// True when the bytes form complete UTF-8 sequences (lead byte, then continuation bytes).
inline bool IsValidUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
        if (n == 9 || (n == 1 && c < 0xC2) || i + n >= s.size() + (n ? 0 : 1))
            return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n + 1;
    }
    return true;
}

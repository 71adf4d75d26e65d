#include "server/XmlDoc.h"

#include "common/Latin1.h"
#include "common/XmlText.h"

namespace dravik::server {

namespace {
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n";
}

XmlDoc::XmlDoc(std::string_view root, const std::vector<std::string> &logItems)
    : m_root(root)
{
    m_text.reserve(4096);
    m_text += kDeclaration;
    m_text += '<';
    m_text += root;
    m_text += ">\r\n<LogItems>";
    for (const auto &item : logItems)
        value("LogItem", item);
    m_text += "</LogItems>\r\n";
}

void XmlDoc::open(std::string_view name, std::string_view attributes)
{
    m_text += '<';
    m_text += name;
    if (!attributes.empty()) {
        m_text += ' ';
        m_text += attributes;
    }
    m_text += '>';
}

void XmlDoc::close(std::string_view name)
{
    m_text += "</";
    m_text += name;
    m_text += ">\r\n";
}

void XmlDoc::value(std::string_view name, std::string_view utf8)
{
    m_text += '<';
    m_text += name;
    m_text += '>';
    m_text += xmlEscapeValue(utf8);
    m_text += "</";
    m_text += name;
    m_text += '>';
}

void XmlDoc::raw(std::string_view text)
{
    m_text += text;
}

std::string XmlDoc::finish()
{
    m_text += "</";
    m_text += m_root;
    m_text += ">\r\n";
    return utf8ToLatin1(m_text);
}

std::string XmlDoc::failure(const std::vector<std::string> &logItems, std::string_view root)
{
    return XmlDoc(root, logItems).finish();
}

std::string XmlDoc::waitTimeout(std::string_view root)
{
    XmlDoc doc(root);
    // The client looks for this exact text, CDATA markers included.
    doc.m_text.insert(doc.m_text.find("</LogItems>"),
                      "<LogItem><![CDATA[WAIT_TIMEOUT]]></LogItem>");
    return doc.finish();
}

} // namespace dravik::server

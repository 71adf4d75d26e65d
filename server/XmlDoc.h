#pragma once

// Writer of the server's documents, following the conventions the client's text cursor relies
// on: a list is a container named item + "S" holding items written "<item>" without attributes,
// every value is a child element without attributes, values are escaped with "&amp;", "&lt;",
// "&gt;" and "&cr;" only, and the whole answer is ISO-8859-1 with that encoding declared.
//
// Every document has one root element whose first child is "LogItems" (empty when the request
// succeeded), so the client always finds the server's messages in the same place.

#include <string>
#include <string_view>
#include <vector>

namespace dravik::server {

class XmlDoc
{
public:
    explicit XmlDoc(std::string_view root, const std::vector<std::string> &logItems = {});

    // "<name>" (or "<name attributes>" for the one place the client reads attributes).
    void open(std::string_view name, std::string_view attributes = {});
    void close(std::string_view name);
    // "<name>value</name>"; value is UTF-8 text, escaped here.
    void value(std::string_view name, std::string_view utf8);
    // Text written as it stands (already escaped).
    void raw(std::string_view text);

    // Closes the root and answers the document as ISO-8859-1 bytes.
    std::string finish();

    // A document made only of log items.
    static std::string failure(const std::vector<std::string> &logItems,
                               std::string_view root = "Answer");
    // The answer that makes the client retry: the database was busy.
    static std::string waitTimeout(std::string_view root = "Answer");

private:
    std::string m_root;
    std::string m_text; // UTF-8 until finish()
};

} // namespace dravik::server

#pragma once

// Request parameters. The client sends every byte that is not printable ASCII as %XX of its
// Latin-1 code (and its SQL texts carry %22, %26, %25, %2B ...), so the query is decoded exactly
// once, byte by byte, and the bytes are read as Latin-1. "+" stays a plus sign (the client writes
// a blank as %20), and a "%" not followed by two hex digits stays as it is.
//
// The client leaves "&" unencoded in a typed search text, so a "&" that does not begin one of the
// protocol's parameters ("&MaxRows=", "&idClient=", ...) belongs to the value before it.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dravik::server {

// Percent-decoding of one component into raw bytes.
std::string percentDecode(std::string_view text);

class QueryParams
{
public:
    QueryParams() = default;
    // The query part of a request target ("/AxQuery?SQL=...&MaxRows=50"), or a bare query.
    static QueryParams fromTarget(std::string_view target);

    // UTF-8 value of the first parameter of that name (names compared without letter case);
    // empty when absent.
    std::string get(std::string_view name) const;
    bool has(std::string_view name) const;
    void add(std::string name, std::string utf8Value);
    // Replaces the value of every parameter of that name, or adds it.
    void set(std::string_view name, const std::string &utf8Value);

private:
    std::vector<std::pair<std::string, std::string>> m_params;
    const std::string *find(std::string_view name) const;
};

} // namespace dravik::server

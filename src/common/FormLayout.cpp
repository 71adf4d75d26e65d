#include "common/FormLayout.h"

#include <charconv>
#include <map>

namespace dravik {

// Generated into the build from data/*.csv.
extern const char *const kFormLayoutCsv;
extern const char *const kFormTabsCsv;

std::vector<std::vector<std::string>> parseCsv(std::string_view text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool any = false; // the current line has content
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (any || !field.empty()) {
                row.push_back(std::move(field));
                rows.push_back(std::move(row));
            }
            field.clear();
            row.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

int toInt(const std::string &s)
{
    int value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

// Maps each data row to a name -> value accessor through the header row.
template<typename Row, typename Fill>
std::vector<Row> byHeader(std::string_view csv, Fill fill)
{
    const auto rows = parseCsv(csv);
    std::vector<Row> out;
    if (rows.empty())
        return out;
    std::map<std::string, size_t> column;
    for (size_t i = 0; i < rows[0].size(); ++i)
        column[rows[0][i]] = i;
    for (size_t r = 1; r < rows.size(); ++r) {
        const auto &cells = rows[r];
        auto get = [&](const char *name) -> std::string {
            const auto it = column.find(name);
            return it != column.end() && it->second < cells.size() ? cells[it->second]
                                                                   : std::string();
        };
        Row row;
        fill(row, get);
        out.push_back(std::move(row));
    }
    return out;
}

} // namespace

std::vector<LayoutRow> parseFormLayout(std::string_view csv)
{
    return byHeader<LayoutRow>(csv, [](LayoutRow &r, auto get) {
        r.name = get("name");
        r.parent = get("parent");
        r.widget = get("widget");
        r.left = toInt(get("left"));
        r.top = toInt(get("top"));
        r.width = toInt(get("width"));
        r.height = toInt(get("height"));
        r.maxlen = toInt(get("maxlen"));
        r.caption = get("caption");
        r.hint = get("hint");
        r.handlers = get("handlers");
        r.visible = get("visible") != "0";
        r.style = get("style");
        r.desc = get("desc");
        r.vInfo = get("vInfo");
        r.txtInfo = get("txtInfo");
        r.tInfo = get("tInfo");
        r.tControl = get("tControl");
        r.idNum = get("idNum");
        r.tag = get("tag");
        r.defval = get("defval");
        r.fieldInfo = get("fieldInfo");
        r.notNull = get("notNull");
        r.enabled = get("enabled");
        r.color = get("color");
        r.length = get("length");
    });
}

std::vector<TabRow> parseFormTabs(std::string_view csv)
{
    return byHeader<TabRow>(csv, [](TabRow &r, auto get) {
        r.kind = get("kind");
        r.idNum = get("idNum");
        r.txtInfo = get("txtInfo");
        r.vInfo = get("vInfo");
        r.tag = get("tag");
        r.defval = get("defval");
    });
}

const std::vector<LayoutRow> &formLayout()
{
    static const std::vector<LayoutRow> rows = parseFormLayout(kFormLayoutCsv);
    return rows;
}

const std::vector<TabRow> &formTabs()
{
    static const std::vector<TabRow> rows = parseFormTabs(kFormTabsCsv);
    return rows;
}

} // namespace dravik

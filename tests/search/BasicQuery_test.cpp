// The Basic Search page's query composition without a window: the search string, the
// parameter map and the display query from the rows' values, the European form, the operator
// row, the word joining of the field-type row.
#include "BasicQuery.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Row
{
    bool bCombo;
    const char* name;
    const char* pattern;
    const char* value;
};

struct Composed
{
    CMapStringToString parameters;
    CString display;

    CString Param(const char* key) const
    {
        CString value;
        return parameters.Lookup(key, value) ? value : CString("<none>");
    }
};

void Compose(const std::vector<Row>& rows, int nLocation, Composed& out)
{
    BasicQueryInput input;
    input.nLocationIndex = nLocation;
    int id = 0;
    for (const Row& row : rows) {
        input.names[id] = row.name;
        input.templates[id] = row.pattern;
        BasicQueryValue value;
        value.nFieldId = id++;
        value.strValue = row.value;
        (row.bCombo ? input.combos : input.edits).push_back(value);
    }
    out.parameters.SetAt("STALE", "x");
    ComposeBasicQuery(input, out.parameters, out.display);
}

} // namespace

TEST(BasicQueryTest, ComposesSearchStringParametersAndDisplay)
{
    struct Case
    {
        const char* what;
        std::vector<Row> rows;
        int location;
        const char* display;
        const char* search;  // SEARCHSTRING, "<none>" when absent
        std::vector<std::pair<const char*, const char*>> params;
    } cases[] = {
        {"European form", {{false, "TERMS", "[FIELDDATA]", "solar  panel"}}, 2, "txt = solar and txt = panel",
         "txt = solar and txt = panel", {{"TERMS", "txt = solar and txt = panel"}}},
        {"other location", {{false, "TERMS", "[FIELDDATA]", "solar panel"}}, 0, "solar panel", "solar panel",
         {{"TERMS", "solar panel"}}},
        {"template around the value", {{false, "TI", "ti=[FIELDDATA] ", "lamp"}}, 1, "ti=lamp ", "ti=lamp ",
         {{"TI", "ti=lamp "}}},
        {"operator NOT",
         {{false, "A", "[FIELDDATA]", "a"}, {false, "B", "[FIELDDATA]", "b"}, {true, "OPERATOR", "[FIELDDATA]", "NOT"}},
         0, "a ANDNOT b", "abNOT", {{"OPERATOR", "NOT"}}},
        {"operator OR",
         {{false, "A", "[FIELDDATA]", "a"}, {false, "B", "[FIELDDATA]", "b"}, {true, "OPERATOR", "[FIELDDATA]", "OR"}},
         0, "a OR b", "abOR", {}},
        {"operator AND",
         {{false, "A", "[FIELDDATA]", "a"}, {false, "B", "[FIELDDATA]", "b"}, {true, "OPERATOR", "[FIELDDATA]", "AND"}},
         0, "a AND b", "abAND", {}},
        {"a typed AND is rewritten too",
         {{false, "A", "[FIELDDATA]", "SAND"}, {false, "B", "[FIELDDATA]", "b"}, {true, "OPERATOR", "[FIELDDATA]", "OR"}},
         0, "SOR OR b", "SANDbOR", {}},
        {"field type joins the words",
         {{false, "TERMS", "[FIELDDATA]", "solar panel"}, {true, "FIELDTYPE1", "[FIELDDATA]", "ABTX"},
          {true, "OPERATOR", "[FIELDDATA]", "AND"}},
         0, "solar panel", "solar and panelABTXAND", {{"FIELDTYPE1", "ABTX"}}},
        {"another field type keeps them",
         {{false, "TERMS", "[FIELDDATA]", "solar panel"}, {true, "FIELDTYPE1", "[FIELDDATA]", "PN"}}, 0,
         "solar panel", "solar panelPN", {}},
        {"all edits empty, no combo", {{false, "A", "[FIELDDATA]", ""}, {false, "B", "[FIELDDATA]", ""}}, 0, "", "<none>",
         {{"A", ""}, {"B", ""}, {"STALE", "<none>"}}},
        {"all edits empty, a combo", {{false, "A", "[FIELDDATA]", ""}, {true, "LIST", "[FIELDDATA]", "list"}}, 0, "",
         "list", {{"A", ""}, {"LIST", "list"}}},
        {"rows of one name share an entry",
         {{false, "A", "x[FIELDDATA]", "1"}, {false, "A", "y[FIELDDATA]", "2"}}, 0, "x1 AND y2", "x1y2",
         {{"A", "y2"}}},
        {"only a closing join goes", {{false, "A", "[FIELDDATA] AND ", "a"}}, 0, "a AND ", "a AND ", {}},
    };
    for (const Case& c : cases) {
        Composed out;
        Compose(c.rows, c.location, out);
        EXPECT_EQ(out.display, c.display) << c.what;
        EXPECT_EQ(out.Param("SEARCHSTRING"), c.search) << c.what;
        for (const auto& p : c.params)
            EXPECT_EQ(out.Param(p.first), p.second) << c.what << ": " << p.first;
    }
}

TEST(BasicQueryTest, JoinsWordsOutsideQuotesAndOperators)
{
    const std::pair<const char*, const char*> cases[] = {
        {"solar panel roof", "solar and panel and roof"},
        {"solar AND panel", "solar AND panel"},
        {"solar or panel", "solar or panel"},
        {"x \"ab cd\" y", "x \"ab cd\" and y"},
        {"\"ab cd\" e", "\"ab cd\" and e"},
        {"a  b", "a  and b"},
        {"x \"open phrase y", "x \"open phrase y"},
        {"single", "single"},
        {"", ""},
        {"trailing ", "trailing "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinBasicWords(c.first), c.second) << c.first;
}

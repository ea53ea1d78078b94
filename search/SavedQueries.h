// The saved queries of the two query pages: named copies of a page's form, kept per search
// location in three lists and stored in a plain XML file in the program folder
// (basicquery.xml for the Basic page, advancedquery.xml for the Advanced page).
//
// A record's fields correspond to the page's controls by position: walking the record's
// fields in order, each edit field takes the next edit of the page and each combo field the
// next combo (edits and combos counted apart, in creation order). A missing edit reads as the
// empty text and a missing combo as -1 (no selection); applying skips controls the page
// lacks.
//
// Texts are held as the user typed them and escaped once, as XML requires, when the file is
// written. The file is read once, synchronously; a file that exists but does not load is
// never overwritten (its queries may still be recovered by hand), one far larger than the
// program writes or of another kind is set aside under a name that says so, and a write goes
// through a temporary file that replaces the old one only once it is whole.
#pragma once

#include "Msxml.h"
#include "String.h"

#include <vector>

// One field of a record kind: its element name in the file and whether a combo's selection
// index (written "%d") or an edit's text is kept.
struct SavedQueryField
{
    const char* name;
    bool combo;
};

// The record kind of one location slot, with the location's name in the file.
struct SavedQueryKind
{
    const char* kindName; // AdvancedPatentQuery, ...
    const char* locationName;
    std::vector<SavedQueryField> fields;
};

// The layout of one saved-query file.
struct SavedQueryFormat
{
    const char* fileName;     // "basicquery.xml"
    const char* contents;     // "saved Basic Search queries", for the user's messages
    const char* listElement;  // "basics" / "advances"
    const char* entryElement; // "basic" / "advanced"
    SavedQueryKind kinds[3];  // location slots 0, 1, 2
};

// basicquery.xml: a form record (two terms, three field types) for slots 0 and 1, a
// single-term record for slot 2.
const SavedQueryFormat& BasicQueryFormat();
// advancedquery.xml: AdvancedPatentQuery, AdvancedApplicationQuery, AdvancedEpoQuery.
const SavedQueryFormat& AdvancedQueryFormat();

// One saved query: its title and its field values in the kind's field order (a combo field's
// value is its selection index as text).
struct SavedQuery
{
    CString title;
    std::vector<CString> values;

    // The value at the position as a selection index (atoi: no digits give 0).
    int IntValue(size_t index) const;
};

// The three lists of one file.
class CSavedQueryStore
{
public:
    explicit CSavedQueryStore(const SavedQueryFormat& format);

    enum LoadResult
    {
        loadNoFile,     // nothing to read: the lists are empty, writing is allowed
        loadRead,       // the file was read
        loadUnreadable, // the file exists but does not load: the lists are empty and the
                        // file is never overwritten
        loadSetAside,   // the file was too large or of another kind and is set aside
                        // (SetAsideText says where): the lists are empty, writing is allowed
    };
    // Empties the lists and reads the file at the path.
    LoadResult Load(const CString& readPath);

    // The whole file text for the lists (every value escaped once).
    CString FileText() const;
    // Writes the file text to the path through a temporary file beside it. On failure the
    // old file stays as it was and false comes back. A file that could not be read is not
    // written over: *pError then says so, for the caller to tell; a write that failed is
    // reported to the data files' saves (DataFileSaves), which tell the user, and leaves
    // *pError empty.
    bool Write(const CString& path, CString* pError) const;
    // The file at the load's path could not be read, so no write replaces it.
    bool IsWriteBlocked() const { return m_bWriteBlocked; }
    // After loadSetAside: the message for the user.
    const CString& SetAsideText() const { return m_strSetAside; }

    const SavedQueryFormat& Format() const { return m_format; }
    // The list of a slot; slots other than 0 to 2 have none (an empty list).
    const std::vector<SavedQuery>& List(int slot) const;
    void Append(int slot, const SavedQuery& query);
    // Removes every record of the slot with that title (exact comparison), keeping the order
    // of the others; answers how many went.
    int RemoveByTitle(int slot, const CString& title);

    // A record of the slot's kind from the page's controls (see the header comment).
    SavedQuery Capture(int slot, const CString& title, const std::vector<CString>& edits,
                       const std::vector<int>& comboSelections) const;
    // Hands each field of the record to the page: setEdit(edit position, text) and
    // setCombo(combo position, selection index), for the positions below the counts given.
    template <class SetEdit, class SetCombo>
    void Apply(int slot, const SavedQuery& query, size_t editCount, size_t comboCount, SetEdit setEdit,
               SetCombo setCombo) const
    {
        if (slot < 0 || slot > 2)
            return;
        size_t edit = 0, combo = 0;
        const std::vector<SavedQueryField>& fields = m_format.kinds[slot].fields;
        for (size_t k = 0; k < fields.size(); ++k) {
            if (fields[k].combo) {
                if (combo < comboCount)
                    setCombo(combo, query.IntValue(k));
                ++combo;
            } else {
                if (edit < editCount)
                    setEdit(edit, k < query.values.size() ? query.values[k] : CString());
                ++edit;
            }
        }
    }

private:
    // Fills the lists from a loaded file of this kind; a failing DOM call raises _com_error.
    void ReadLists(IXMLDOMDocument2Ptr doc);

    const SavedQueryFormat& m_format;
    std::vector<SavedQuery> m_lists[3];
    bool m_bWriteBlocked = false;
    CString m_strSetAside;
};

// A value as the file holds it: & < > " as entities, and every character beyond ASCII as a
// character reference, since the file names no encoding and is read as UTF-8.
CString EscapeSavedQueryValue(const CString& value);

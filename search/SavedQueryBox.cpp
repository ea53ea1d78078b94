#include "SavedQueryBox.h"

void FillSavedQueryBox(CComboBox& box, const CSavedQueryStore& store, int slot)
{
    box.ResetContent();
    box.AddString("None");
    for (const SavedQuery& query : store.List(slot))
        box.AddString(query.title);
    box.SetCurSel(0);
}

bool DeleteChosenSavedQuery(CComboBox& box, CSavedQueryStore& store, int slot)
{
    const int selection = box.GetCurSel();
    if (selection < 1)
        return false;
    const std::vector<SavedQuery>& list = store.List(slot);
    if (selection - 1 < static_cast<int>(list.size())) {
        // The record's own title (the box shows the same text).
        const CString title = list[static_cast<size_t>(selection - 1)].title;
        store.RemoveByTitle(slot, title);
        FillSavedQueryBox(box, store, slot);
    } else {
        box.DeleteString(selection);
        box.SetCurSel(0);
    }
    return true;
}

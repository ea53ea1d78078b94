// The saved-query box of the two query pages: item 0 "None", then item k + 1 for record k of
// the current location's list.
#pragma once

#include "ComboBox.h"
#include "SavedQueries.h"

// Fills the box from the slot's list and chooses "None".
void FillSavedQueryBox(CComboBox& box, const CSavedQueryStore& store, int slot);

// Deletes the chosen item (one above "None"): when a record stands behind it, every record of
// that title goes and the box is filled again, so that item k + 1 stays record k; an item
// without a record (a title kept for this visit only) goes alone. "None" is chosen after.
// False, and nothing changes, when no item above "None" is chosen.
bool DeleteChosenSavedQuery(CComboBox& box, CSavedQueryStore& store, int slot);

// The pages of the search pane's sheet that live in files of their own: Advanced Search,
// Search Report and Saved Reports.
#pragma once

#include "AdvancedSearch.h"
#include "SavedReport.h"
#include "SearchReport.h"

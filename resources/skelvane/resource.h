// Resource ids of Skelvane.rc, the import wizard's resource script. Every number keeps one
// meaning within its resource type.
#pragma once

#define IDC_STATIC                      (-1) // texts the program never addresses

// ---------------------------------------------------------------- dialogs
#define IDD_IMPORT_WIZARD               102  // the wizard's main window
#define IDD_IMPORT_OFFER                129  // the offer to import, for a start without the token
#define IDD_IMPORT_CONFIRM              132  // the question before a search started by the main program

// ---------------------------------------------------------------- icon and animation
#define IDR_MAINFRAME                   128  // the program icon
#define IDR_SEARCH_ANIMATION            131  // the search animation (resource type "AVI")

// ---------------------------------------------------------------- wizard controls (102)
#define IDC_WIZARD_SEARCH_TEXT          1000 // the folder or pattern being searched
#define IDC_WIZARD_FOUND_LIST           1001 // one line per project file found
#define IDC_WIZARD_INSTRUCTION          1002
#define IDC_WIZARD_IMPORT               1003 // "OK": imports the selected line
#define IDC_WIZARD_ANIMATION            1006

// ---------------------------------------------------------------- offer controls (129)
#define IDC_OFFER_MESSAGE               1004

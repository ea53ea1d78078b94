// Ids of the test resource script ControlsTest.rc.
#pragma once

#define IDD_SKIN_FORM 100

#define IDC_SKIN_EDIT 1001
#define IDC_SKIN_EDIT_OTHER 1002
#define IDC_SKIN_VALUES 1003
#define IDC_SKIN_QUERIES 1004
#define IDC_SKIN_PAGES 1005
#define IDC_SKIN_CHECK 1006
#define IDC_SKIN_RADIO_IMPORT 1007
#define IDC_SKIN_RADIO_EXPORT 1008
#define IDC_SKIN_TREE 1009

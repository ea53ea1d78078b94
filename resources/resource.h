// Resource ids of Zentrova.rc. Every number keeps one meaning within its resource type;
// the groups follow the resource script: dialogs, menus, pictures, strings, then the
// controls and commands of each window.
#pragma once

// ---------------------------------------------------------------- dialogs
#define IDD_ABOUT                       100
#define IDD_ZENTROVA                    102  // the main window
#define IDD_DOWNLOAD_MANAGER            130  // the download queue
#define IDD_PATENT_MANAGER              135  // the document list of the project pane
#define IDD_PROJECT_TREE                139  // the folder tree of the project pane
#define IDD_PROJECT_MANAGER             140  // the project pane
#define IDD_SEARCH_CONTAINER            147  // the search pane
#define IDD_PROPERTY_SHEET              151  // the search pane's tabbed sheet
#define IDD_PREFERENCES                 197
#define IDD_TECH_SUPPORT                233
#define IDD_ADD_OTHER_FILE              259  // Add File To Folder
#define IDD_SPLASH                      245
#define IDD_SAVE_FILES_TO               269
#define IDD_MESSAGE_BOX                 297  // the program's own message box (help texts)

// ---------------------------------------------------------------- menus
#define IDR_CONTEXT_MENUS               131  // the context-menu popups, one per window
#define IDR_MAIN_MENU                   158  // the main window's menu bar

// ---------------------------------------------------------------- icons, cursors, bitmaps
#define IDR_MAINFRAME                   128  // the program icon
#define IDC_LINK_HAND                   234  // the hand cursor of link labels
#define IDB_NAV_STRIP                   168  // 106 x 436, the navigation column
#define IDB_BANNER                      169  // 263 x 78
#define IDB_PAGE_BACKGROUND             150  // 1 x 240, the ground of the search pages and their sheet
#define IDB_SEARCH_BUTTON               172  // four frames of 84 x 29
#define IDB_PROJECTS_BUTTON             173  // four frames of 84 x 29
#define IDB_MENU_ICONS                  185  // 16 x 16 cells, one per menu command
#define IDB_FIND_BUTTON                 223  // four frames of 54 x 23, "Browse" (Find... and Select)
#define IDB_OK_BUTTON                   225  // four frames of 36 x 23
#define IDB_MOVE_BUTTON                 226  // four frames of 54 x 23
#define IDB_CANCEL_BUTTON               289  // four frames of 54 x 23
#define IDB_SORT_UP                     229  // 9 x 9, a list header's ascending arrow
#define IDB_SORT_DOWN                   230  // 9 x 9, a list header's descending arrow
#define IDB_SPLASH                      244  // 500 x 244
#define IDB_RESIZE_GRIP                 321  // 12 x 12, the main window's resize grip
#define IDB_TREE_FOLDERS                141  // 160 x 17, the folder tree's 17 x 17 images
#define IDB_FOLDER_DRAG                 300  // 32 x 20, a dragged folder when its item gives no image
#define IDB_PANE_PICTURE                175  // the picture at the project pane's right edge
#define IDB_DOWNLOAD_NOW                187  // four frames of 78 x 23
#define IDB_EXPAND_PLUS                 188  // four frames of 18 x 18, normal arrangement
#define IDB_EXPAND_MINUS                189  // four frames of 18 x 18, expanded arrangement
#define IDB_SPLITTER_PATTERN            194  // 8 x 8, the splitter's tracking line
#define IDB_PANE_HELP                   243  // four frames of 78 x 22
#define IDB_PANE_COPY                   254  // four frames of 113 x 22
#define IDB_ROW_ICONS                   199  // 160 x 16, the document list's five 32 x 16 row icons
#define IDB_ROW_ICONS_MASK              266  // their mask
#define IDC_SPLIT_VERTICAL              192  // cursor over the pane's vertical splitter bars
#define IDC_SPLIT_HORIZONTAL            193  // cursor over the pane's horizontal splitter bar

// ---------------------------------------------------------------- accelerators
#define IDR_PATENT_ACCEL                231  // the document list's Ctrl+A

// ---------------------------------------------------------------- strings
#define IDS_ABOUTBOX                    101
#define IDS_URL_OVERVIEW                102
#define IDS_URL_SEARCHES                104
#define IDS_URL_APPLICATIONS            105
#define IDS_URL_INFRINGEMENT            106
#define IDS_URL_MANAGEMENT              107
#define IDS_URL_EXTRA_2                 108
#define IDS_URL_COUNTRY_CODES           109
#define IDS_SOCKETS_INIT_FAILED         103
#define IDS_NO_PDF_READER               112
#define IDS_URL_PDF_READER              113
#define IDS_OPTIONS_FILE                129
#define IDS_URL_WEBSITE_5               130
#define IDS_URL_UPDATES                 133
#define IDS_URL_WEBSITE_2               61204
#define IDS_URL_EXTRA_1                 61205
#define IDS_URL_WEBSITE_3               61206
#define IDS_URL_WEBSITE_1               61207
#define IDS_URL_WEBSITE_4               61208

// ---------------------------------------------------------------- main window
#define IDM_ABOUTBOX                    0x0010  // system-menu item
#define IDC_PROJECTS_BUTTON             1014
#define IDC_SEARCH_BUTTON               1015

// ---------------------------------------------------------------- project pane (140)
#define IDC_QUICK_DOWNLOAD_EDIT         1000
#define IDC_PANE_HELP                   1001
#define IDC_DOWNLOAD_NOW                1013
#define IDC_PANE_COPY_TO_CLIPBOARD      1014  // the number of the main window's Projects button
#define IDC_PAGE_CHOICE                 1020
#define IDC_PANE_PICTURE                1036
#define IDC_EXPAND_BUTTON               1037
#define IDC_PANE_LABEL                  1042
#define IDC_FIRST_PAGE_CHECK            1134
#define IDC_PANE_NOTE                   1144
#define IDC_FILE_WRAPPER_ONLY           1151

// ---------------------------------------------------------------- folder tree (139), document list (135)
#define IDC_FOLDER_TREE                 1011
#define IDC_DOCUMENT_LIST               1040

// ---------------------------------------------------------------- Add File To Folder (259)
#define IDC_ADD_FILE_TITLE              1000
#define IDC_ADD_FILE_FIND               1001
#define IDC_ADD_FILE_PATH               1002
#define IDC_ADD_FILE_PROMPT             1092
#define IDC_ADD_FILE_PATH_LABEL         1093
#define IDC_ADD_FILE_TITLE_LABEL        1094

// ---------------------------------------------------------------- message box (297)
#define IDC_MESSAGE_TEXT                1150

// ---------------------------------------------------------------- download queue
#define IDC_DOWNLOAD_LIST               1009

// ---------------------------------------------------------------- splash, about, support
#define IDC_SPLASH_PICTURE              1019
#define IDC_SUPPORT_EMAIL               1073
#define IDC_SUPPORT_WEB                 1074
#define IDC_ABOUT_TEXT                  1077

// ---------------------------------------------------------------- preferences (197)
#define IDC_PREF_SAVE_PATH              1000
#define IDC_PREF_FIND_SOUND_EACH        1001
#define IDC_PREF_SOUND_EACH             1002
#define IDC_PREF_SELECT_PATH            1013
#define IDC_PREF_FIND_SOUND_ALL         1014
#define IDC_PREF_ATTEMPTS_LABEL         1019
#define IDC_PREF_PATH_LABEL             1038
#define IDC_PREF_SOUND_ALL              1046
#define IDC_PREF_SOUND_EVENTS           1049  // group box
#define IDC_PREF_PLAY_EACH              1050
#define IDC_PREF_PLAY_ALL               1051
#define IDC_PREF_SOUND_ERROR            1054
#define IDC_PREF_FIND_SOUND_ERROR       1055
#define IDC_PREF_HEADING                1060
#define IDC_PREF_RETRY                  1061
#define IDC_PREF_ATTEMPTS               1062
#define IDC_PREF_WAIT                   1063
#define IDC_PREF_WAIT_LABEL             1064
#define IDC_PREF_MOVE                   1067
#define IDC_PREF_MOVE_LABEL             1068
#define IDC_PREF_NOTIFY_EACH            1078
#define IDC_PREF_NOTIFY_LAST            1079
#define IDC_PREF_NOTIFY_NEVER           1080
#define IDC_PREF_PLAY_ERROR             1083
#define IDC_PREF_SESSION_DIALOG         1115
#define IDC_PREF_OPS_KEY_LABEL          1170
#define IDC_PREF_OPS_KEY                1171
#define IDC_PREF_OPS_SECRET_LABEL       1172
#define IDC_PREF_OPS_SECRET             1173

// ---------------------------------------------------------------- save files to (269)
#define IDC_SAVE_PATH                   1000
#define IDC_SAVE_ALL_DOCUMENTS          1001
#define IDC_SAVE_ONLY_PDF               1013
#define IDC_SAVE_ONLY_HTML              1014
#define IDC_SAVE_FIND                   1095
#define IDC_SAVE_PATH_LABEL             1096
#define IDC_SAVE_OVERWRITE              1097

// ---------------------------------------------------------------- commands of menu 158
#define ID_FILE_EXIT                    161
#define ID_HELP_ABOUT                   165
#define ID_TOOLS_PREFERENCES            176
#define ID_SEARCH_BASIC                 177
#define ID_SEARCH_ADVANCED              195
#define ID_SEARCH_RESULTS               196
#define ID_HELP_COUNTRY_CODES           227
#define ID_HELP_TECH_SUPPORT            228
#define ID_HELP_PDF_READER              236
#define ID_FILE_EMAIL_DOCUMENTS         249
#define ID_SEARCH_COPY_RESULTS          253
#define ID_FILE_IMPORT_FILE_TO_FOLDER   258
#define ID_FILE_SAVE_FILES_TO           267
#define ID_SEARCH_REPORT                32779
#define ID_SEARCH_SAVED_REPORT          32781
#define ID_FILE_IMPORT_EXPORT_SESSION   32802
#define ID_FILE_DOWNLOAD_ENTIRE         32820
#define ID_FILE_IMPORT_OLD_VERSION      32821
#define ID_PATENTS_COPY_TO_CLIPBOARD    32823
#define ID_PATENTS_COPY_SHORTCUT        32824
#define ID_PATENTS_PRINT_HTML           32825
#define ID_PATENTS_PRINT_PDF            32827
#define ID_PATENTS_PRINT_FILE           32828
#define ID_PATENTS_OPEN_HTML            32831
#define ID_PATENTS_OPEN_PDF             32832
#define ID_PATENTS_OPEN_FILE            32833
#define ID_PATENTS_MARK_UNREAD          32834
#define ID_PATENTS_MARK_READ            32835
#define ID_PATENTS_DELETE               32836
#define ID_PATENTS_UNLINK               32837
#define ID_FOLDER_RENAME                32838
#define ID_FOLDER_DELETE                32839
#define ID_PATENTS_DOWNLOAD_ENTIRE      32850
#define ID_HELP_CHECK_UPDATES           32851
#define ID_FILE_RECOVER_DATABASE        32852
#define ID_LIST_SELECT_ALL              32771  // the document list's Ctrl+A

// ---------------------------------------------------------------- commands of menu 131
// DownloadMenu
#define ID_DOWNLOAD_RETRY               132
#define ID_DOWNLOAD_CANCEL              133
// ProjectTree (also sent to the tree by the main window)
#define ID_TREE_DELETE_FOLDER           143
#define ID_TREE_INSERT_FOLDER           144
#define ID_TREE_RENAME_FOLDER           145
#define ID_TREE_PASTE_SHORTCUT          32818
// SearchList
#define ID_RESULTS_DOWNLOAD_SELECTED    148
#define ID_RESULTS_STOP_SEARCH          149
#define ID_RESULTS_COPY_TO_CLIPBOARD    235
#define ID_RESULTS_DOWNLOAD_FIRST_PAGE  32816
#define ID_RESULTS_ADD_TO_REPORT        32777  // also the third "Websites" link
#define ID_RESULTS_REMOVE_FROM_REPORT   32814
// PatentList
#define ID_LIST_DELETE                  200
#define ID_LIST_PRINT_HTML              201
#define ID_LIST_PRINT_PDF               202
#define ID_LIST_OPEN_HTML               203
#define ID_LIST_OPEN_PDF                204
#define ID_LIST_MARK_READ               241
#define ID_LIST_MARK_UNREAD             242
#define ID_LIST_UNLINK                  262
#define ID_LIST_OPEN_FILE               263
#define ID_LIST_PRINT_FILE              264
#define ID_LIST_COPY_TO_CLIPBOARD       32806
#define ID_LIST_DOWNLOAD_ENTIRE         32810
#define ID_LIST_COPY_SHORTCUT           32817
// SessionMenu, QueryMenu, AdvQuery, SavedReport
#define ID_SESSION_EDIT                 32790
#define ID_SESSION_DELETE               32791
#define ID_QUERY_DELETE                 32793
#define ID_ADVQUERY_DELETE              32795
#define ID_REPORT_OPEN                  32798
#define ID_REPORT_DELETE                32799
#define ID_REPORT_EMAIL                 32808
// Patent Basics and Websites (web links served by the main window)
#define ID_LINK_OVERVIEW                205
#define ID_LINK_SEARCHES                206
#define ID_LINK_APPLICATIONS            207
#define ID_LINK_INFRINGEMENT            208
#define ID_LINK_MANAGEMENT              209
#define ID_LINK_WEBSITE_5               32775
#define ID_LINK_EXTRA_1                 32776  // no menu item
#define ID_LINK_WEBSITE_1               32778
#define ID_LINK_WEBSITE_4               32784
#define ID_LINK_EXTRA_2                 61233  // no menu item
#define ID_LINK_WEBSITE_2               61238

// The cell of the menu icon strip that no command uses.
#define ID_MENU_ICON_SPARE              32780

// ================================================================ search sessions and the Search Report page
// ---------------------------------------------------------------- dialogs and pictures
#define IDD_SEARCH_REPORT               271  // the Search Report page
#define IDD_SEARCH_SESSION              277  // the session chooser "Search Session"
#define IDD_NEW_SEARCH_SESSION          278  // "Create New Session"
#define IDD_IMPORT_EXPORT_SESSION       287  // "Import/Export Session"
#define IDB_GENERATE_BUTTON             275  // four frames of 78 x 22
#define IDB_STOP_BUTTON                 284  // four frames of 54 x 22

// ---------------------------------------------------------------- Search Report page (271)
#define IDC_REPORT_LIST_GENERATE        1001
#define IDC_REPORT_LIST_STOP            1013
#define IDC_REPORT_LIST_DOCUMENTS       1016
#define IDC_REPORT_LIST_SELECT_ALL      1108
#define IDC_REPORT_LIST_STATUS          1109
#define IDC_REPORT_LIST_INTRO           1135
#define IDC_REPORT_LIST_PROGRESS        1147

// ---------------------------------------------------------------- session chooser (277)
#define IDC_CHOOSER_GENERAL             1001
#define IDC_CHOOSER_NEW                 1002
#define IDC_CHOOSER_EXISTING            1003
#define IDC_CHOOSER_SHOW_EACH_TIME      1053
#define IDC_CHOOSER_SESSIONS            1113
#define IDC_CHOOSER_GENERAL_TEXT        1117
#define IDC_CHOOSER_NEW_TEXT            1118
#define IDC_CHOOSER_EXISTING_TEXT       1119
#define IDC_CHOOSER_BANNER              1120

// ---------------------------------------------------------------- Create New Session (278)
#define IDC_NEWSESS_PROJECT             1000
#define IDC_NEWSESS_INVENTION           1001
#define IDC_NEWSESS_CLIENT              1002
#define IDC_NEWSESS_FRAME               1124
#define IDC_NEWSESS_EXPLANATION         1128
#define IDC_NEWSESS_PROJECT_LABEL       1129
#define IDC_NEWSESS_INVENTION_LABEL     1130
#define IDC_NEWSESS_CLIENT_LABEL        1131

// ---------------------------------------------------------------- Import/Export Session (287)
#define IDC_IMPEXP_IMPORT               1001
#define IDC_IMPEXP_EXPORT               1002
#define IDC_IMPEXP_FRAME                1132
#define IDC_IMPEXP_EXPLANATION          1133
// ================================================================ search pane and its pages
// The search pane (147), the Basic Search (152) and Search Results (154) pages; the
// Advanced Search (153) and Saved Reports (273) pages are empty templates until those
// pages are built; the Search Report page (271) is in the block of the sessions.
#define IDD_BASIC_SEARCH                152
#define IDD_ADVANCED_SEARCH             153
#define IDD_SEARCH_RESULTS              154
#define IDD_SAVED_REPORTS               273

#define IDB_SEARCH_LOGO                 155  // 216 x 66, the picture at the pane's top right
#define IDB_BASIC_START_SEARCH          156  // four frames of 100 x 24
#define IDB_RESULTS_STOP                157  // four frames of 54 x 22
#define IDB_BASIC_HELP                  240  // four frames of 54 x 24
#define IDB_SEARCH_NEW_SESSION          276  // four frames of 33 x 17
#define IDB_BASIC_SAVE                  291  // four frames of 54 x 22
#define IDB_BASIC_CLEAR                 292  // four frames of 54 x 22

#define IDS_SEARCH_FAQ_URL              116  // the help page of frequently asked questions

// search pane (147)
#define IDC_SEARCH_NEW_SESSION          1001
#define IDC_SEARCH_START_STOP           1017
#define IDC_SEARCH_LOCATION             1020
#define IDC_SEARCH_DATABASE_LABEL       1027
#define IDC_SEARCH_HINT                 1028
#define IDC_SEARCH_LOGO                 1035
#define IDC_SEARCH_SESSION              1106
#define IDC_SEARCH_SESSION_LABEL        1107
// Basic Search (152)
#define IDC_BASIC_HELP                  1001
#define IDC_BASIC_SAVE                  1013
#define IDC_BASIC_CLEAR                 1014
#define IDC_BASIC_SAVED_QUERIES         1020
#define IDC_BASIC_NOTES                 1030
#define IDC_BASIC_START_SEARCH          1031
#define IDC_BASIC_SAVED_LABEL           1114
#define IDC_BASIC_QUERIES_LINK          1140
#define IDC_BASIC_RULE_BOTTOM           1143
#define IDC_BASIC_RULE_TOP              1144
// Search Results (154)
#define IDC_RESULTS_COPY                1001
#define IDC_RESULTS_LIST                1016
#define IDC_RESULTS_STATUS              1022
#define IDC_RESULTS_STOP                1032
#define IDC_RESULTS_SELECT_ALL          1053
#define IDC_RESULTS_QUERY               1109
#define IDC_RESULTS_PROGRESS            1138

// ================================================================ search reports
// The report progress pop-up (296); the Saved Reports page (273) is named above, and its
// Stop button shows the Search Results page's Stop picture (157).
#define IDD_REPORT_POPUP                296
#define IDC_RPT_HEADING                 1148
#define IDC_RPT_EXPLANATION             1149
#define IDC_SAVED_STOP                  1013
#define IDC_SAVED_LIST                  1016
#define IDC_SAVED_PROGRESS              1145
#define IDC_SAVED_STATUS                1146

// ================================================================ advanced search and queries
// The Advanced Search page (153; its id and bitmaps are with the search pane above), the
// query-title dialog (283), the query help window (294).
#define IDD_NEW_QUERY                   283
#define IDD_QUERY_HELP                  294
// Advanced Search page (153)
#define IDC_ADV_HELP                    1001
#define IDC_ADV_SAVE                    1013
#define IDC_ADV_CLEAR                   1014
#define IDC_ADV_SAVED_QUERIES           1020
#define IDC_ADV_START_SEARCH            1023
#define IDC_ADV_NOTES                   1029
#define IDC_ADV_SAVED_LABEL             1114
#define IDC_ADV_QUERY_HELP              1139
#define IDC_ADV_LOWER_LINE              1142
#define IDC_ADV_UPPER_LINE              1143
#define IDC_ADV_FIELD                   1       // the run-time edits and combos of the fields
#define IDC_ADV_FIELD_LABEL             0xFFFF  // their labels
// Search Query (283)
#define IDC_QUERY_TITLE                 1000
#define IDC_QUERY_EXPLANATION           1122
#define IDC_QUERY_TITLE_LABEL           1123
#define IDC_QUERY_FRAME                 1124
// Search Queries Help (294)
#define IDC_HELPWIN_BROWSER             1141

// The private messages of the project pane and of its folder tree and document list. All
// but UM_SOCKET_CLOSED are sent with SendMessage; a text passed by pointer (a CString, or a
// record text as const char*) is owned by the sender and valid during the call only.
#pragma once

#include "DownloadManagerMessages.h"
#include "MyListCtrl.h"

#include <windows.h>

// ---------------------------------------------------------------- to the project pane

// UM_DOCUMENTS_DROPPED (WM_APP + 2), document list -> pane: rows of the list were dropped
// on a tree folder; 0, 0. 1, or 0 on the root. Declared with the list control that sends it
// first (MyListCtrl.h).
// document list, tree -> pane: write Project.cfg; wParam 0, or the IXMLDOMNode* of the one
// element of the store that changed (then only its part of the stored text is made anew);
// lParam 0.
#define UM_SAVE_PROJECT (WM_APP + 3)
// document list -> pane: the store was changed and is written at the next save (a moved
// file's new path); 0, 0. That save then writes the whole store anew.
#define UM_STORE_CHANGED (WM_APP + 6)
// document list -> pane: download that document; wParam: CString* document number.
#define UM_DOWNLOAD_DOCUMENT (WM_APP + 5)
// document list -> pane: delete the selected documents with their files; 0, 0.
#define UM_DELETE_DOCUMENTS (WM_APP + 10)
// document list -> pane: take the selected documents out of the project; 0, 0.
#define UM_UNLINK_DOCUMENTS (WM_APP + 11)
// tree -> pane: rename a folder; wParam: CString* folder UID, lParam: CString* new name.
#define UM_RENAME_FOLDER (WM_APP + 0x64)
// tree -> pane: add a "New Folder"; wParam: item key of the parent, lParam: CString* that
// receives the new UID. 1 when added.
#define UM_INSERT_FOLDER (WM_APP + 0x65)
// tree -> pane: a folder was selected; lParam: a placeholder text the pane does not read.
#define UM_FOLDER_SELECTED (WM_APP + 0x66)
// tree -> pane: remove one folder element; wParam: CString* folder UID. 1 when removed.
#define UM_DELETE_FOLDER (WM_APP + 0x67)
// anyone -> pane: add the tree's dragged folder under a folder; wParam: item key of the
// new parent, lParam: CString* that receives the new UID.
#define UM_DROP_FOLDER (WM_APP + 0x8C)
// tree -> pane: add one folder of a moved subtree, named by the tree's copy name; wParam:
// item key of the new parent, lParam: CString* that receives the new UID.
#define UM_COPY_CHILD_FOLDER (WM_APP + 0x8D)
// UM_ADD_DOCUMENT (WM_APP + 0xC8), download queue, Import File To Folder -> pane: file a
// record; wParam: the record text (const char*), lParam: 1 when it was the queue's last
// download, else 0. UM_PLAY_ERROR_SOUND (WM_APP + 0xC9), download queue -> pane: a download
// failed, play the error sound; 0, 0. Both declared with the queue (DownloadManagerMessages.h).
// document list -> pane: remember a document for Paste Shortcut; wParam: CString* UID.
#define UM_COPY_SHORTCUT (WM_APP + 0xDF)
// tree -> pane: a shortcut of the remembered document into the selected folder; 0, 0.
#define UM_PASTE_SHORTCUT (WM_APP + 0xE0)
// Recover Database -> pane: file a recovered record; wParam: the record text (const char*).
#define UM_ADD_RECOVERED_DOCUMENT (WM_APP + 0x12E)
// anyone -> pane: refresh the drop-target folder and save; 0, 0.
#define UM_REFRESH_PROJECT (WM_APP + 0x385)
// project store -> pane, POSTED: a save found Project.cfg replaced by another program and
// kept the project beside it; take the new file up. 0, 0.
#define UM_PROJECT_FILE_REPLACED (WM_APP + 0x386)
// toolbar connection (CConSocket) -> pane, POSTED once the connection is closed: remove the
// connection from the pane's list and delete it; lParam: the CConSocket*.
#define UM_SOCKET_CLOSED (WM_APP + 0x14B)

// ---------------------------------------------------------------- to the document list

// tree -> document list: show a folder; lParam: CString* folder UID.
#define UM_SHOW_FOLDER (WM_APP + 1)

// What the user hears of the saves of the program's data files. Every writer of a data file
// reports each of its saves here. The first save of a file that fails is told at once,
// naming the file, what it holds and why it could not be written; later failures of that
// file are not told again until one of its saves has succeeded. The writers keep what they
// hold in memory meanwhile, so that the next save that succeeds writes all of it.
//
// The notices go to the handler that the program sets: the main window, which shows them in
// its own message box on its own thread (a writer may run where no window may be shown).
// Without a handler they reach the progress log only; the log has every one of them.
#pragma once

#include "String.h"
#include "TextHelpers.h"

#include <windows.h>

#include <vector>

// Writes the bytes whole (WriteDataFile) and reports the save; true when written. contents
// names what the file holds, as the user's notice says it ("search sessions").
bool SaveDataFile(const CString& path, const CString& bytes, const char* contents);

// A save of the file succeeded: the file holds what the program holds.
void DataFileSaved(const CString& path);
// A save of the file failed with the system's error code. True when this failure is told
// (the first since the file was last saved).
bool DataFileNotSaved(const CString& path, const char* contents, DWORD error);
// The same with a text of the writer's own in place of the usual notice.
bool DataFileNotSavedWithText(const CString& path, const char* contents, const CString& text);

// A data file whose last save failed, and what it holds.
struct UnsavedDataFile
{
    CString path;
    CString contents;
};
// Every such file, in the order of their first failure.
std::vector<UnsavedDataFile> UnsavedDataFiles();
bool IsDataFileUnsaved(const CString& path);

// The notice of a failed save: what could not be saved, to which file, why, and that the
// program keeps it.
CString DataFileNotSavedText(const CString& path, const char* contents, DWORD error);
// Its first words, which every notice of something not saved begins with: "The <contents>
// could not be saved to", a line break and the path.
CString DataFileNotSavedHeading(const CString& path, const char* contents);

// The caption of the notices of failed saves.
extern const char kNotSavedCaption[];

// Shows a notice to the user: the data file it is about (empty for none), a caption and the
// text. Called on the thread of the writer; the handler itself must be quick.
using DataFileNoticeHandler = void (*)(const CString& path, const CString& caption, const CString& text);
DataFileNoticeHandler SetDataFileNoticeHandler(DataFileNoticeHandler handler);
// Hands a notice to the handler, and its text to the progress log.
void TellDataFileNotice(const CString& path, const CString& caption, const CString& text);

// Forgets what became of every file's saves (for tests that start afresh).
void ForgetDataFileSaves();

// The system dialogs and drag-and-drop, worked from outside as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"

namespace qdriver {

// A dialog of the process (a top-level #32770) whose caption is `caption`, or that
// holds a child of class `childClass` when the caption is empty.
HWND WaitDialog(const Quorvel& app, const std::wstring& caption,
                const std::wstring& childClass = L"", DWORD timeoutMs = 10000);

void PressDialogButton(HWND dialog, int id);  // IDOK, IDCANCEL

// Open-file dialog: types into its file-name box and confirms, as a user would.
void TypeFileNameAndConfirm(HWND dialog, const std::wstring& text);
// Chooses the filter pair (counted from 0) in the dialog's file-type box.
void ChooseFilter(HWND dialog, int pair);
// Number of items the dialog's file view shows.
int ShownFileCount(HWND dialog);

// Folder dialog: opens the tree down the given labels (a label matches an item whose
// text equals it or contains it in parentheses, as drives show "(C:)") and selects the last.
bool SelectTreePath(HWND dialog, const std::vector<std::wstring>& labels);
// The labels of the folder tree's items, indented by depth, for diagnostics.
std::wstring DescribeTree(HWND dialog);

// Drags from this process onto the window with the pointer over its centre. Returns
// the effect the target accepted (DROPEFFECT_NONE when refused).
DWORD DragFilesOnto(HWND target, const std::vector<std::wstring>& paths);
DWORD DragTextOnto(HWND target, const std::wstring& text);

}  // namespace qdriver

#pragma once
// Small services the wizard pages share.
#include <windows.h>
#include <string>
#include "foundation/owned_handle.h"
#include "framework/property_page.h"

// Posts PSM_SETWIZBUTTONS to the page's sheet: the change takes effect after
// the current handler returns, in the order posted.
void PostWizardButtons(const CPropertyPage& page, DWORD buttons);
// Posts a message without parameters to the page's sheet.
void PostToSheet(const CPropertyPage& page, UINT message);
// The string of the program's string table; empty when there is none.
std::wstring LoadResourceString(UINT id);
// The text of a dialog's control; empty when there is no such control.
std::wstring GetControlText(HWND dialog, int controlId);
// Makes a static control of the dialog taller, never shorter, until its
// text fits wrapped to its width: a title font that follows the screen's
// DPI can need more lines' height than the template's rectangle, which
// follows only the dialog font.
void GrowToFitText(HWND dialog, int controlId);
// The page's title in bold Verdana 12 (the font held in titleFont), its
// control grown to fit the text.
void SetPageTitle(HWND page, int titleId, CWFont* titleFont);

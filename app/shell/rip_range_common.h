// What the multi-track and raw rip dialogs share: the five output formats of their list, the
// extension rule of the output name, the output record's tags taken from the disc and the
// tags grid over the "Track Info Tags" static.
#pragma once

#include "framework/ui.h"

class CCDInfo;
class CCDTrack;
class CComboBox;
class EPropCtrl;
class IPropertyHost;

namespace rip_range {

constexpr int kFormatCount = 5;

// The list's names, index = output format (0 WAV ... 4 FLAC).
void FillFormatList(CComboBox& list);
// ".wav", ".mp3", ".ogg", ".wma", ".flac"; empty outside 0-4.
CString FormatExtension(int nFormat);
// The name with the format's extension in place of the file name's own (or appended when the
// file name has none). A "." in a folder name is no extension. Unchanged outside 0-4.
CString WithExtension(const CString& strName, int nFormat);
// The name without the file name's extension (a leading "." is no extension).
CString WithoutExtension(const CString& strName);
// The translated default name with the extension of nFormat, in the output folder.
CString DefaultOutputPath(LPCTSTR lpszKey, LPCTSTR lpszDefault, int nFormat);
// Flags 4, the drive, and the album fields of the disc; media type "CD"; no track title.
void FillOutputTrack(CCDTrack& track, const CCDInfo& disc, int nDrive);
// The grid as child IDC_RIPDLG_TAGS at the static's place (the static is hidden), with the
// dialog's font and large icon, editing pHost.
void CreateTagsGrid(CDialog& dlg, EPropCtrl& grid, IPropertyHost* pHost);
void RedrawGrid(EPropCtrl& grid);

} // namespace rip_range

#include "app/win32/folder_dialog.h"

#include <shlobj.h>

#include "support/windows/wide_text.h"

namespace fernkartei::app {

std::optional<std::string> ChooseContactsFolder(HWND owner) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = L"Kontakte-Ordner auswählen";
  // Files are shown too, so that one .vcf file can be taken, as the folder dialog on Linux allows.
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_BROWSEINCLUDEFILES;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (chosen == nullptr) return std::nullopt;
  // Long enough for the longest path Windows knows, not only MAX_PATH.
  std::wstring path(32768, L'\0');
  const bool has_path =
      SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
  CoTaskMemFree(chosen);
  path.resize(path.find(L'\0'));
  if (!has_path || path.empty()) return std::nullopt;
  return support::Utf8FromWide(path);
}

}  // namespace fernkartei::app

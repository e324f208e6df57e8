#pragma once

// The texts of the executable's version record, kept here for the Windows
// resource script. UTF-8 in the source; the resource is Japanese, code page 932.

namespace vorzik::shell::version {

inline constexpr int kFileVersion[4] = {1, 1, 1, 0};
inline constexpr int kProductVersion[4] = {1, 1, 1, 0};
inline constexpr char kFileVersionText[] = "1.1.1.0";
inline constexpr char kProductVersionText[] = "1.1.1.0";
inline constexpr unsigned kLanguage = 0x0411;  // Japanese
inline constexpr unsigned kCodePage = 932;
inline constexpr char kFileDescription[] = "音質(低音減弱)の改善ツール補助";
inline constexpr char kComments[] = "サポートの予定は有りません。";
// The record's file-name field carries the window's name, its product-name
// field the executable's own file name.
inline constexpr char kOriginalFilename[] = "PC-QL7RZ/PCI 支援 (Vorzik)";
inline constexpr char kProductName[] = "vorzik.exe";
// Every other text field of the record is empty.
inline constexpr char kCompanyName[] = "";
inline constexpr char kInternalName[] = "";
inline constexpr char kLegalCopyright[] = "";
inline constexpr char kLegalTrademarks[] = "";

}  // namespace vorzik::shell::version

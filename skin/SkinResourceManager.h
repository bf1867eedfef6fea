#pragma once
// The loaded theme: fonts, colours, cursors, animations, commands, pictures and the 28 per-class tables of
// theme items, read from a theme document found in a folder or in a zip archive held in memory. One instance
// lives for the whole process (GetSkinResourceManager); tests may make their own. Platform-free.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/ThemeItem.h"
#include "skin/ThemeTable.h"
#include "skin/draw/SkinDrawImage.h"
#include "skin/draw/SkinGifPlayer.h"

namespace xml {
class XmlDocument;
}
namespace packaging {
class ZipReader;
}

namespace skin {

struct FontSpec {
  std::wstring face;
  int32_t size = 0;
  bool bold = false;
  bool underline = false;
  // A font handle is made only for a face that is given and a positive size.
  bool Creatable() const { return !face.empty() && size > 0; }
};

// A theme cursor as written: "#<number>" for a system cursor, else a resource name.
struct CursorSpec {
  std::wstring value;
};

// Engine-wide defaults from the `comwnd` item.
struct CommonWindowDefaults {
  std::wstring scrollbar_picture;
  uint32_t border_color = 0;
  uint32_t background_color = 0;
  bool present = false;
};

// Longest theme archive entry the loader extracts.
inline constexpr uint64_t kMaxThemeEntrySize = 64ull << 20;

// Cleans an archive entry name: drops a leading drive ("X:"), a leading "\" or "/", and everything up to and
// including a parent-folder step ("\..\", "\../", "/../", "/..\"), repeating until none applies.
std::wstring CleanEntryName(std::wstring name);

class CSkinResourceManager {
 public:
  CSkinResourceManager();
  ~CSkinResourceManager();
  CSkinResourceManager(const CSkinResourceManager&) = delete;
  CSkinResourceManager& operator=(const CSkinResourceManager&) = delete;

  // Loads the first file ending in ".XML" (any case) in `folder`; pictures are read from the folder. 0 when
  // the folder cannot be listed, holds no such file, or that file was loaded before.
  int LoadFolderTheme(const std::wstring& folder);
  // Loads a theme from a zip archive in memory (the bytes are not kept). 1 when the archive could be opened,
  // even if it held no theme document; 0 otherwise, with nothing changed.
  int LoadArchiveTheme(const void* bytes, size_t size, const char* password);
  // Reads a theme document. With `archive_mode` the `image` section re-keys pictures already registered under
  // their entry names; otherwise pictures are files below the theme folder. False without a `theme` root.
  bool ReadTheme(xml::XmlDocument& doc, bool archive_mode);

  // Look-ups. Pictures are realised (decoded) before they are handed out; none when absent.
  CSkinDrawImage* GetPicture(std::wstring_view id);
  // Registers a file picture under its path when none is registered yet; its kind follows the path's last
  // three characters. Returns the picture under that key.
  CSkinDrawImage* RegisterFilePicture(const std::wstring& path);
  CSkinGifPlayer* GetAnimation(std::wstring_view key) const { return animations_.Find(key); }
  const FontSpec* GetFont(std::wstring_view id) const { return fonts_.Find(id); }
  const CursorSpec* GetCursor(std::wstring_view id) const { return cursors_.Find(id); }
  // The colour table entry; none when absent.
  const uint32_t* FindColor(std::wstring_view id) const { return colors_.Find(id); }
  // Colour syntax: "#id" looks the id up (unknown: the system's desktop colour); otherwise the RGB form, with
  // `fallback` for an empty or too short value.
  uint32_t ResolveColor(std::wstring_view value, uint32_t fallback) const;
  // The picture id of a command; none when absent.
  const std::wstring* GetCommand(std::wstring_view id) const { return commands_.Find(id); }
  // Theme item of a class by id, falling back to the item whose id is the class name.
  ThemeItem* FindItem(std::wstring_view class_name, std::wstring_view id) const;

  const std::wstring& ThemeFolder() const { return theme_folder_; }
  uint32_t DefaultBackgroundColor() const { return default_background_; }
  uint32_t DefaultWindowColor() const { return default_window_; }
  const CommonWindowDefaults& CommonDefaults() const { return common_; }

  // System colours by index (the platform's GetSysColor); the built-in table serves where there is none.
  void SetSystemColorSource(std::function<uint32_t(int)> source);
  uint32_t SystemColor(int index) const;
  // Called after every archive load so the window manager can recompute its theme colours.
  void SetThemeChangedCallback(std::function<void()> callback) { theme_changed_ = std::move(callback); }

  // Table access for tests and the drawing engine.
  const ThemeHashTable<CSkinDrawImage>& Pictures() const { return pictures_; }
  const ThemeList<CSkinGifPlayer>& Animations() const { return animations_; }
  const ThemeList<FontSpec>& Fonts() const { return fonts_; }
  const ThemeList<uint32_t>& Colors() const { return colors_; }
  const ThemeList<CursorSpec>& Cursors() const { return cursors_; }
  const ThemeList<std::wstring>& Commands() const { return commands_; }
  const ThemeHashTable<ThemeItem>& ClassTable(int index) const { return classes_[static_cast<size_t>(index)]; }

 private:
  void ReadFonts(xml::XmlDocument& doc);
  void ReadColors(xml::XmlDocument& doc);
  void ReadCursors(xml::XmlDocument& doc);
  void ReadImages(xml::XmlDocument& doc, bool archive_mode);
  void ReadCommands(xml::XmlDocument& doc);
  void ReadItems(xml::XmlDocument& doc);
  void ReadItem(xml::XmlDocument& doc);
  void ReadChildren(xml::XmlDocument& doc, std::optional<ChildKind> owner, std::vector<ChildItem>& out,
                    ThemeItem* item);
  void AddArchiveEntry(packaging::ZipReader* zip, int64_t index, std::unique_ptr<xml::XmlDocument>& doc);
  std::wstring FilePath(std::wstring_view relative) const;

  ThemeList<FontSpec> fonts_;
  ThemeList<uint32_t> colors_;
  ThemeList<CursorSpec> cursors_;
  ThemeList<CSkinGifPlayer> animations_;
  ThemeList<std::wstring> commands_;
  ThemeHashTable<CSkinDrawImage> pictures_;
  std::vector<ThemeHashTable<ThemeItem>> classes_;
  std::vector<std::wstring> loaded_files_;
  std::wstring theme_folder_;
  uint32_t default_background_;
  uint32_t default_window_;
  CommonWindowDefaults common_;
  std::function<uint32_t(int)> system_color_;
  std::function<void()> theme_changed_;
};

// The process-wide resource manager, created on first use and never destroyed.
CSkinResourceManager& GetSkinResourceManager();

}  // namespace skin

#include "skin/SkinResourceManager.h"

#include <algorithm>

#include "xml/XmlDocument.h"

namespace skin {
namespace {

constexpr int kColorDesktop = 1;
constexpr int kColorWindow = 5;
constexpr int kColorButtonFace = 15;

// The platform's default colours, for builds without a window system.
uint32_t BuiltInSystemColor(int index) {
  switch (index) {
    case kColorDesktop: return Rgb(0, 0, 0);
    case kColorWindow: return Rgb(255, 255, 255);
    case kColorButtonFace: return Rgb(240, 240, 240);
    default: return Rgb(0, 0, 0);
  }
}

int PictureKind(FileKind kind) {
  switch (kind) {
    case FileKind::kBmp: return CXIMAGE_FORMAT_BMP;
    case FileKind::kPng: return CXIMAGE_FORMAT_PNG;
    case FileKind::kJpg: return CXIMAGE_FORMAT_JPG;
    case FileKind::kIco: return CXIMAGE_FORMAT_ICO;
    default: return CXIMAGE_FORMAT_UNKNOWN;
  }
}

// Calls `read` for every `item` child of the current section element.
template <typename F>
void ForEachItem(xml::XmlDocument& doc, F&& read) {
  if (!doc.EnterElement()) return;
  while (doc.FindNextElement(L"item")) read();
  doc.LeaveElement();
}

std::optional<ChildKind> ChildKindFromName(std::wstring_view name) {
  for (ChildKind k : {ChildKind::kRectangle, ChildKind::kText, ChildKind::kImage, ChildKind::kLine,
                      ChildKind::kAnimate, ChildKind::kEventItem, ChildKind::kDrawItem}) {
    if (name == ChildKindName(k)) return k;
  }
  return std::nullopt;
}

Placement ReadPlacement(const xml::XmlDocument& doc) {
  Placement p;
  p.left = ParsePosition(doc.Attribute(L"left"));
  p.top = ParsePosition(doc.Attribute(L"top"));
  p.right = ParseInt(doc.Attribute(L"right"));
  p.bottom = ParseInt(doc.Attribute(L"bottom"));
  p.width = ParseInt(doc.Attribute(L"width"));
  p.height = ParseInt(doc.Attribute(L"height"));
  return p;
}

// Reads the listed attributes that are present.
void ReadAttributes(const xml::XmlDocument& doc, const std::vector<const wchar_t*>& names, Attributes& out) {
  for (const wchar_t* name : names) {
    std::wstring value = doc.Attribute(name);
    // Attribute() cannot tell an empty value from an absent one; empty values read as absent, which gives
    // the same result for every syntax (empty means the default).
    if (!value.empty()) out.Set(name, std::move(value));
  }
}

}  // namespace

CSkinResourceManager::CSkinResourceManager()
    : classes_(kThemeClassCount),
      default_background_(BuiltInSystemColor(kColorButtonFace)),
      default_window_(BuiltInSystemColor(kColorWindow)) {}

CSkinResourceManager::~CSkinResourceManager() = default;

void CSkinResourceManager::SetSystemColorSource(std::function<uint32_t(int)> source) {
  system_color_ = std::move(source);
  default_background_ = SystemColor(kColorButtonFace);
  default_window_ = SystemColor(kColorWindow);
}

uint32_t CSkinResourceManager::SystemColor(int index) const {
  return system_color_ ? system_color_(index) : BuiltInSystemColor(index);
}

uint32_t CSkinResourceManager::ResolveColor(std::wstring_view value, uint32_t fallback) const {
  if (!value.empty() && value[0] == L'#') {
    const uint32_t* c = colors_.Find(value.substr(1));
    return c ? *c : SystemColor(kColorDesktop);
  }
  return ParseRgb(value, fallback);
}

CSkinDrawImage* CSkinResourceManager::GetPicture(std::wstring_view id) {
  CSkinDrawImage* p = pictures_.Find(id);
  if (p) p->Realise();
  return p;
}

CSkinDrawImage* CSkinResourceManager::RegisterFilePicture(const std::wstring& path) {
  if (CSkinDrawImage* existing = pictures_.Find(path)) return existing;
  // Anything that is not PNG, ICO or JPG by its last three characters is taken as a bitmap; the bitmap
  // decoder checks the headers, so a file of another format simply shows nothing.
  const FileKind kind = FileKindFromName(path);
  int picture_kind = CXIMAGE_FORMAT_BMP;
  if (kind == FileKind::kPng || kind == FileKind::kIco || kind == FileKind::kJpg) picture_kind = PictureKind(kind);
  auto picture = std::make_unique<CSkinDrawImage>();
  picture->SetFromFile(path, picture_kind);
  return pictures_.Insert(path, std::move(picture));
}

ThemeItem* CSkinResourceManager::FindItem(std::wstring_view class_name, std::wstring_view id) const {
  const int index = ThemeClassIndex(class_name);
  if (index < 0) return nullptr;
  const auto& table = classes_[static_cast<size_t>(index)];
  if (ThemeItem* item = table.Find(id)) return item;
  return table.Find(class_name);
}

std::wstring CSkinResourceManager::FilePath(std::wstring_view relative) const {
#ifdef _WIN32
  return theme_folder_ + L"\\" + std::wstring(relative);
#else
  std::wstring r(relative);
  std::replace(r.begin(), r.end(), L'\\', L'/');
  return theme_folder_ + L"/" + r;
#endif
}

bool CSkinResourceManager::ReadTheme(xml::XmlDocument& doc, bool archive_mode) {
  doc.ResetCursor();
  if (!doc.FindNextElement(L"theme") || !doc.EnterElement()) return false;
  // Each section search starts after the section found last, so a section placed before one of an earlier
  // kind is never seen; the shipped theme relies on this for its cursor section.
  if (doc.FindNextElement(L"font")) ReadFonts(doc);
  if (doc.FindNextElement(L"color")) ReadColors(doc);
  if (doc.FindNextElement(L"cursor")) ReadCursors(doc);
  if (doc.FindNextElement(L"image")) ReadImages(doc, archive_mode);
  if (doc.FindNextElement(L"command")) ReadCommands(doc);
  if (doc.FindNextElement(L"constrol")) ReadItems(doc);
  doc.ResetCursor();
  return true;
}

void CSkinResourceManager::ReadFonts(xml::XmlDocument& doc) {
  ForEachItem(doc, [&] {
    FontSpec desc;
    desc.face = doc.Attribute(L"fontface");
    desc.size = ParseInt(doc.Attribute(L"fontsize"));
    desc.bold = doc.Attribute(L"bold") == L"true";
    desc.underline = doc.Attribute(L"underline") == L"true";
    std::wstring id = doc.Attribute(L"id");
    if (FontSpec* existing = fonts_.Find(id)) {
      *existing = std::move(desc);
    } else {
      fonts_.Append(std::move(id), std::make_unique<FontSpec>(std::move(desc)));
    }
  });
}

void CSkinResourceManager::ReadColors(xml::XmlDocument& doc) {
  ForEachItem(doc, [&] {
    std::wstring id = doc.Attribute(L"id");
    const uint32_t value = ParseRgb(doc.Attribute(L"value"), 0);
    if (uint32_t* existing = colors_.Find(id)) {
      *existing = value;
    } else {
      colors_.Append(std::move(id), std::make_unique<uint32_t>(value));
    }
  });
}

void CSkinResourceManager::ReadCursors(xml::XmlDocument& doc) {
  ForEachItem(doc, [&] {
    std::wstring id = doc.Attribute(L"id");
    CursorSpec desc{doc.Attribute(L"value")};
    if (CursorSpec* existing = cursors_.Find(id)) {
      *existing = std::move(desc);
    } else {
      cursors_.Append(std::move(id), std::make_unique<CursorSpec>(std::move(desc)));
    }
  });
}

void CSkinResourceManager::ReadImages(xml::XmlDocument& doc, bool archive_mode) {
  ForEachItem(doc, [&] {
    std::wstring id = doc.Attribute(L"id");
    std::wstring value = doc.Attribute(L"value");
    if (id.empty() || value.empty()) return;
    const FileKind kind = FileKindFromName(value);
    if (kind == FileKind::kUnknown || kind == FileKind::kXml) return;
    const bool no_tint = doc.Attribute(L"adjusthsb") == L"false";
    const std::wstring clip = doc.Attribute(L"clipcolor");
    auto apply_bitmap_options = [&](CSkinDrawImage& p) {
      if (no_tint) p.SetTint(false);
      if (!clip.empty()) p.SetKeyColor(ParseRgb(clip, p.KeyColor()));
    };

    if (archive_mode) {
      // Animations keep their entry names.
      if (kind == FileKind::kGif) return;
      std::replace(value.begin(), value.end(), L'\\', L'/');
      std::unique_ptr<CSkinDrawImage> picture = pictures_.Remove(value);
      if (!picture) return;
      if (kind == FileKind::kBmp) apply_bitmap_options(*picture);
      pictures_.Insert(std::move(id), std::move(picture));
      return;
    }

    const std::wstring path = FilePath(value);
    if (kind == FileKind::kGif) {
      CSkinGifPlayer* player = animations_.Find(id);
      if (!player) player = animations_.Append(id, std::make_unique<CSkinGifPlayer>());
      player->LoadFromFile(path);
      return;
    }
    CSkinDrawImage* picture = pictures_.Find(id);
    if (!picture) picture = pictures_.Insert(id, std::make_unique<CSkinDrawImage>());
    picture->SetFromFile(path, PictureKind(kind));
    if (kind == FileKind::kBmp) {
      apply_bitmap_options(*picture);
    } else {
      picture->Realise();
    }
  });
}

void CSkinResourceManager::ReadCommands(xml::XmlDocument& doc) {
  ForEachItem(doc, [&] {
    std::wstring id = doc.Attribute(L"id");
    std::wstring image = doc.Attribute(L"image");
    if (id.empty() || image.empty() || !pictures_.Find(image)) return;
    if (std::wstring* existing = commands_.Find(id)) {
      *existing = std::move(image);
    } else {
      commands_.Append(std::move(id), std::make_unique<std::wstring>(std::move(image)));
    }
  });
}

void CSkinResourceManager::ReadItems(xml::XmlDocument& doc) {
  ForEachItem(doc, [&] { ReadItem(doc); });
}

void CSkinResourceManager::ReadItem(xml::XmlDocument& doc) {
  auto item = std::make_unique<ThemeItem>();
  item->class_name = doc.Attribute(L"class");
  if (item->class_name.empty()) return;
  item->id = doc.Attribute(L"id");
  item->place = ReadPlacement(doc);
  const int index = ThemeClassIndex(item->class_name);
  if (index < 0) return;

  if (doc.EnterElement()) {
    ReadChildren(doc, std::nullopt, item->children, item.get());
    doc.LeaveElement();
  }

  if (item->class_name == L"groupbutton") {
    // Without its own border colour a group box keeps the text colour for its border.
    Attributes& a = item->elements.empty() ? item->elements.emplace_back(L"attribute", Attributes()).second
                                           : item->elements.front().second;
    if (!a.Find(L"borderColor")) {
      if (const std::wstring* text = a.Find(L"textColor")) a.Set(L"borderColor", *text);
    }
  }

  if (item->class_name == L"comwnd") {
    const Attributes& a = item->Element(L"attribute");
    common_.present = true;
    common_.scrollbar_picture = a.Text(L"bmpScrollbar");
    common_.border_color = ResolveColor(a.Text(L"borderColor"), 0);
    common_.background_color = ResolveColor(a.Text(L"backgroundColor"), SystemColor(kColorButtonFace));
    return;
  }
  std::wstring id = item->id;
  classes_[static_cast<size_t>(index)].Insert(std::move(id), std::move(item));
}

void CSkinResourceManager::ReadChildren(xml::XmlDocument& doc, std::optional<ChildKind> owner,
                                        std::vector<ChildItem>& out, ThemeItem* item) {
  std::vector<ChildItem> found;
  while (doc.FindNextElement()) {
    const std::wstring tag = doc.TagName();
    if (item) {
      bool is_class_element = false;
      for (const ClassElement& e : ClassElements(item->class_name)) {
        if (tag != e.element) continue;
        is_class_element = true;
        bool seen = false;
        for (const auto& [name, attrs] : item->elements) seen |= name == tag;
        if (!seen) {
          Attributes attrs;
          ReadAttributes(doc, e.attributes, attrs);
          item->elements.emplace_back(tag, std::move(attrs));
        }
      }
      if (is_class_element) continue;
    }
    const std::optional<ChildKind> kind = ChildKindFromName(tag);
    if (!kind) continue;
    ChildItem child;
    child.kind = *kind;
    child.id = doc.Attribute(L"id");
    child.visible = doc.Attribute(L"visible") != L"false";
    child.place = ReadPlacement(doc);
    if (*kind != ChildKind::kDrawItem) child.state = ParseStateList(doc.Attribute(L"state"));
    ReadAttributes(doc, ChildAttributes(*kind), child.attrs);
    if ((*kind == ChildKind::kEventItem || *kind == ChildKind::kDrawItem) && doc.EnterElement()) {
      ReadChildren(doc, kind, child.children, nullptr);
      doc.LeaveElement();
    }
    found.push_back(std::move(child));
  }
  for (ChildKind k : ChildOrder(owner)) {
    for (ChildItem& c : found)
      if (c.kind == k) out.push_back(std::move(c));
  }
}

#ifndef _WIN32
// The Windows build's singleton takes the system colours from the platform (ThemeResource_win.cpp).
CSkinResourceManager& GetSkinResourceManager() {
  static CSkinResourceManager* manager = new CSkinResourceManager();
  return *manager;
}
#endif

}  // namespace skin

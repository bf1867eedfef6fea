#include "skin/ThemeItem.h"

#include <array>

namespace skin {

void Attributes::Set(std::wstring name, std::wstring value) {
  for (auto& [n, v] : values_) {
    if (n == name) {
      v = std::move(value);
      return;
    }
  }
  values_.emplace_back(std::move(name), std::move(value));
}

const std::wstring* Attributes::Find(std::wstring_view name) const {
  for (const auto& [n, v] : values_)
    if (n == name) return &v;
  return nullptr;
}

std::wstring Attributes::Text(std::wstring_view name) const {
  const std::wstring* v = Find(name);
  return v ? *v : std::wstring();
}

int32_t Attributes::Int(std::wstring_view name, int32_t fallback) const {
  const std::wstring* v = Find(name);
  return v ? ParseInt(*v) : fallback;
}

bool Attributes::IsTrue(std::wstring_view name, bool fallback) const {
  const std::wstring* v = Find(name);
  return v && *v == L"true" ? true : fallback;
}

bool Attributes::IsFalse(std::wstring_view name, bool fallback) const {
  const std::wstring* v = Find(name);
  return v && *v == L"false" ? true : fallback;
}

Quad Attributes::QuadValue(std::wstring_view name, const Quad& fallback) const {
  const std::wstring* v = Find(name);
  return v ? ParseQuad(*v, fallback) : fallback;
}

Pair Attributes::PairValue(std::wstring_view name, const Pair& fallback) const {
  const std::wstring* v = Find(name);
  return v ? ParsePair(*v, fallback) : fallback;
}

const wchar_t* ChildKindName(ChildKind kind) {
  switch (kind) {
    case ChildKind::kRectangle: return L"rectangle";
    case ChildKind::kText: return L"text";
    case ChildKind::kImage: return L"image";
    case ChildKind::kLine: return L"line";
    case ChildKind::kAnimate: return L"animate";
    case ChildKind::kEventItem: return L"eventitem";
    case ChildKind::kDrawItem: return L"drawitem";
  }
  return L"";
}

const Attributes& ThemeItem::Element(std::wstring_view name) const {
  static const Attributes kEmpty;
  for (const auto& [n, a] : elements)
    if (n == name) return a;
  return kEmpty;
}

std::wstring ThemeItem::Raw(std::wstring_view element, std::wstring_view name) const {
  if (const std::wstring* v = Element(element).Find(name)) return *v;
  const wchar_t* d = ClassAttributeDefault(class_name, element, name);
  return d ? d : L"";
}

ChildItem* ThemeItem::FindChild(std::wstring_view child_id, std::optional<ChildKind> kind) {
  for (ChildItem& c : children)
    if (c.id == child_id && (!kind || c.kind == *kind)) return &c;
  return nullptr;
}

namespace {

constexpr std::array<const wchar_t*, kThemeClassCount> kClasses = {
    L"window",    L"button",   L"static",   L"radiobutton", L"checkbutton", L"edit",       L"groupbutton",
    L"listbox",   L"combobox", L"slider",   L"progress",    L"spinbutton",  L"header",     L"listview",
    L"menu",      L"menubar",  L"tree",     L"tabctrl",     L"ipaddress",   L"hotkey",     L"datetime",
    L"richedit",  L"statusbar", L"toolbar", L"rebar",       L"controlbar",  L"scrollbar",  L"comwnd",
};

struct ClassRow {
  const wchar_t* name;
  std::vector<ClassElement> elements;
};

const std::vector<const wchar_t*> kCheckAttributes = {
    L"picUncheckNormal", L"picUncheckOver",   L"picUncheckDisible", L"picUncheckDown",  L"picUncheckFocus",
    L"picCheckedNormal", L"picCheckedOver",   L"picCheckedDisible", L"picCheckedDown",  L"picCheckedFocus",
    L"font",             L"textNormalColor",  L"textOverColor",     L"textDownColor",   L"textDisibleColor",
    L"textFocusColor",   L"cursor",           L"toolTip",           L"drawFocusRect"};

std::vector<const wchar_t*> With(std::vector<const wchar_t*> base, std::initializer_list<const wchar_t*> more) {
  base.insert(base.end(), more);
  return base;
}

const std::vector<ClassRow>& Rows() {
  static const std::vector<const wchar_t*> kCaptionButton = {L"picNormal", L"picOver", L"picDown", L"picDisable",
                                                             L"offset"};
  static const std::vector<ClassRow> rows = {
      {L"window",
       {{L"attribute", {L"menuBarLabel", L"bmpScrollbar", L"font", L"textColor", L"sizeMin", L"sizeMax",
                        L"titleMenuBar"}},
        {L"btnclose", kCaptionButton},
        {L"btnmax", With(kCaptionButton, {L"hideDisable"})},
        {L"btnrestore", kCaptionButton},
        {L"btnmin", kCaptionButton},
        {L"btnhelp", kCaptionButton},
        {L"background", {L"picFile", L"captionHeight", L"borderWidth", L"borderOffset", L"border9grid",
                         L"backgroundColor", L"drawStyle", L"captionOffset", L"frameStyle"}},
        {L"bmpscrollbar", {L"picFile"}}}},
      {L"button",
       {{L"attribute", {L"toolTip", L"picNormal", L"picOver", L"picDown", L"picDisable", L"picFocus", L"font",
                        L"textNormalColor", L"textOverColor", L"textDownColor", L"textFocusColor",
                        L"textDisableColor", L"cursor", L"textOffset", L"border9grid", L"drawFocusRect",
                        L"spinbtnLabel", L"spinbtnWidth"}}}},
      {L"static", {{L"attribute", {L"textColor", L"textDisableColor", L"toolTip", L"cursor", L"font"}}}},
      {L"radiobutton", {{L"attribute", kCheckAttributes}}},
      {L"checkbutton", {{L"attribute", With(kCheckAttributes, {L"picIndeterminate", L"textColor"})}}},
      {L"edit",
       {{L"attribute", {L"bmpScrollbar", L"bmpFrameNormal", L"bmpFrameOver", L"nmarginleft", L"nmarginright",
                        L"font", L"textColor", L"backgroundNormalColor", L"backgroundDisableColor", L"borderColor",
                        L"borderColor2", L"transparent"}}}},
      {L"groupbutton", {{L"attribute", {L"imagelogo", L"textColor", L"borderColor", L"font", L"borderRound"}}}},
      {L"listbox",
       {{L"attribute", {L"bmpScrollbar", L"backgroundColor", L"itemBackgroundOverImage",
                        L"itemBackgroundCheckedImage", L"itemHeight", L"borderColor", L"itemTextNormalColor",
                        L"itemTextOverColor", L"itemTextCheckedColor", L"itemBackgroundColor1",
                        L"itemBackgroundColor2", L"itemBackgroundOverColor", L"itemBackgroundCheckedColor", L"font",
                        L"drawImageOffset", L"drawItem", L"alpha"}}}},
      {L"combobox",
       {{L"attribute", {L"bmpScrollbar", L"bmpFrameNormal", L"bmpFrameOver", L"bmpButtonNormal", L"bmpButtonOver",
                        L"bmpButtonDown", L"bmpButtonDisable", L"borderColor", L"textColor", L"font"}}}},
      {L"slider",
       {{L"attribute", {L"thumbHorizNormal", L"thumbHorizOver", L"thumbHorizDown", L"thumbHorizDisible",
                        L"thumbHorizFocus", L"thumbVertNormal", L"thumbVertOver", L"thumbVertDown",
                        L"thumbVertDisible", L"thumbVertFocus", L"channelHorizNormal", L"channelHorizActive",
                        L"channelVertNormal", L"channelVertActive", L"drawSize", L"channelOffset",
                        L"drawFocusRect"}}}},
      {L"progress",
       {{L"attribute", {L"channelHorizNormal", L"channelHorizActive", L"channelVertNormal", L"channelVertActive",
                        L"textColor", L"partOffset", L"activeOffset", L"drawStyle", L"showText", L"font",
                        L"borderOffset"}}}},
      {L"spinbutton",
       {{L"attribute", {L"bmpLeftNormal", L"bmpLeftOver", L"bmpLeftDown", L"bmpLeftDisble", L"bmpRightNormal",
                        L"bmpRightOver", L"bmpRightDown", L"bmpRightDisable", L"bmpTopNormal", L"bmpTopOver",
                        L"bmpTopDown", L"bmpTopDisble", L"bmpBottomNormal", L"bmpBottomOver", L"bmpBottomDown",
                        L"bmpBottomDisble"}}}},
      {L"header",
       {{L"attribute", {L"imageSeparator", L"itemBackgroundNormalImage", L"itemBackgroundOverImage",
                        L"itemBackgroundDownImage", L"itemTextNormalColor", L"itemTextOverColor",
                        L"itemTextDownColor", L"font", L"border9grid", L"itemHeight"}}}},
      {L"listview",
       {{L"attribute", {L"bmpScrollbar", L"headSkinLabel", L"itemBackgroundOverImage",
                        L"itemBackgroundCheckedImage", L"borderColor", L"itemBackgroundColor1",
                        L"itemBackgroundColor2", L"itemBackgroundOverColor", L"itemBackgroundCheckedColor",
                        L"itemTextNormalColor", L"itemTextOverColor", L"itemTextCheckedColor", L"font",
                        L"drawImageOffset", L"drawItem", L"itemHeight"}}}},
      {L"menu",
       {{L"attribute", {L"partOffset", L"backgroundAlpha", L"imageBackground", L"itemBackgroundOverImage",
                        L"imageSeparator", L"imagePupArrow", L"mainMenuXmlLabel", L"itemTextNormalColor",
                        L"itemTextOverColor", L"itemTextDisableColor", L"borderWidth", L"borderOffset",
                        L"border9grid"}}}},
      {L"menubar",
       {{L"attribute", {L"imageBackground", L"itemNormalImage", L"itemOverImage", L"itemDownImage",
                        L"imageBtnMin", L"imageBtnRestore", L"imageBtnClose", L"textNormalColor",
                        L"textOverColor", L"textDownColor", L"backgroundColor", L"font", L"border9grid",
                        L"borderOffsetLeft", L"borderOffsetRight", L"menubarHeight"}}}},
      {L"tree",
       {{L"attribute", {L"bmpBackground", L"itemBackgroundNormalImage", L"itemBackgroundCheckedImage",
                        L"itemBackgroundOverImage", L"expandImage", L"collapseImage", L"bmpScrollbar",
                        L"backgroundColor", L"borderColor", L"itemTextNormalColor", L"itemTextOverColor",
                        L"itemTextCheckedColor", L"font", L"itemHeight", L"drawItem", L"alpha",
                        L"drawImageOffset", L"bLButtonDownExpand"}}}},
      {L"tabctrl",
       {{L"attribute", {L"spinbuttonSkinLabel", L"pushbuttonSkinLabel", L"itemBackgroundTopNormalImage",
                        L"itemBackgroundTopOverImage", L"itemBackgroundTopCheckedImage",
                        L"itemBackgroundBottomNormalImage", L"itemBackgroundBottomOverImage",
                        L"itemBackgroundBottomCheckedImage", L"itemBackgroundLeftNormalImage",
                        L"itemBackgroundLeftOverImage", L"itemBackgroundLeftCheckedImage",
                        L"itemBackgroundRightNormalImage", L"itemBackgroundRightOverImage",
                        L"itemBackgroundRightCheckedImage", L"borderColor", L"itemTextNormalColor",
                        L"itemTextCheckedColor", L"font", L"borderRound", L"draw9grid"}}}},
      {L"ipaddress", {{L"attribute", {L"bmpFrameNormal", L"bmpFrameOver", L"font", L"textColor", L"borderColor"}}}},
      {L"hotkey", {{L"attribute", {L"bmpFrameNormal", L"bmpFrameOver", L"font", L"borderColor"}}}},
      {L"datetime",
       {{L"attribute", {L"bmpFrameNormal", L"bmpFrameOver", L"bmpButtonNormal", L"bmpButtonOver", L"bmpButtonDown",
                        L"bmpButtonDisable", L"spinbuttonSkinLabel", L"borderColor"}}}},
      {L"richedit", {{L"attribute", {L"bmpFrameNormal", L"bmpFrameOver", L"bmpScrollbar", L"borderColor"}}}},
      {L"statusbar",
       {{L"attribute", {L"bmpBackground", L"imageSeparator", L"imageSizelogo", L"backgroundColor", L"textColor",
                        L"font"}}}},
      {L"toolbar",
       {{L"attribute", {L"bmpButtonNormal", L"bmpButtonOver", L"bmpButtonDown", L"bmpButtonDisable",
                        L"imageBackgroundHoriz", L"imageSeparatorHoriz", L"imageDropHoriz", L"imageBackgroundVert",
                        L"imageSeparatorVert", L"imageDropVert", L"backgroundColor"}}}},
      {L"rebar",
       {{L"attribute", {L"imageBackgroundHoriz", L"imageDropHoriz", L"imageBackgroundVert", L"imageDropVert",
                        L"backgroundColor"}}}},
      {L"controlbar", {{L"attribute", {L"bmpBackgroundHoriz", L"bmpBackgroundVert", L"backgroundColor"}}}},
      {L"scrollbar", {{L"attribute", {L"imageSizebox", L"bmpScrollbar"}}}},
      {L"comwnd", {{L"attribute", {L"bmpScrollbar", L"borderColor", L"backgroundColor"}}}},
  };
  return rows;
}

struct DefaultRow {
  const wchar_t* class_name;
  const wchar_t* element;
  const wchar_t* name;
  const wchar_t* value;
};

// Defaults of the classes with a full description; everything else reads empty (colour 0, no picture).
constexpr DefaultRow kDefaults[] = {
    {L"window", L"background", L"drawStyle", L"nodraw"},
    {L"window", L"background", L"frameStyle", L"framenormal"},
    {L"button", L"attribute", L"textDisableColor", L"RGB(255,0,255)"},
    {L"button", L"attribute", L"textOffset", L"(1,1)"},
    {L"button", L"attribute", L"border9grid", L"(5,5,5,5)"},
    {L"menu", L"attribute", L"partOffset", L"5"},
    {L"menu", L"attribute", L"backgroundAlpha", L"255"},
    {L"menu", L"attribute", L"borderWidth", L"(2,2,2,2)"},
    {L"menu", L"attribute", L"borderOffset", L"(6,6,6,6)"},
    {L"menu", L"attribute", L"border9grid", L"(6,6,6,6)"},
};

}  // namespace

const wchar_t* ThemeClassName(int index) {
  return index >= 0 && index < kThemeClassCount ? kClasses[static_cast<size_t>(index)] : L"";
}

int ThemeClassIndex(std::wstring_view name) {
  for (int i = 0; i < kThemeClassCount; ++i)
    if (name == kClasses[static_cast<size_t>(i)]) return i;
  return -1;
}

const std::vector<ClassElement>& ClassElements(std::wstring_view class_name) {
  static const std::vector<ClassElement> kNone;
  for (const ClassRow& row : Rows())
    if (class_name == row.name) return row.elements;
  return kNone;
}

const wchar_t* ClassAttributeDefault(std::wstring_view class_name, std::wstring_view element,
                                     std::wstring_view name) {
  for (const DefaultRow& d : kDefaults)
    if (class_name == d.class_name && element == d.element && name == d.name) return d.value;
  return nullptr;
}

const std::vector<const wchar_t*>& ChildAttributes(ChildKind kind) {
  static const std::vector<const wchar_t*> kRect = {L"drawStyle", L"fill", L"fillColor", L"borderColor",
                                                    L"gradientBeginColor", L"gradientEndColor", L"round",
                                                    L"adjusthsb"};
  static const std::vector<const wchar_t*> kText = {L"string", L"font", L"color", L"vertAlign", L"horizAlign",
                                                    L"singleLine", L"ellipsis", L"adjusthsb"};
  static const std::vector<const wchar_t*> kImage = {L"picFile", L"drawStyle", L"border9grid", L"partOffset",
                                                     L"vertPaint", L"xSrc", L"ySrc", L"srcWidth", L"srcHeight"};
  static const std::vector<const wchar_t*> kLine = {L"penStyle", L"color", L"penWidth", L"adjusthsb"};
  static const std::vector<const wchar_t*> kAnimate = {L"frameCount", L"beginFrame", L"delayTime", L"cycle",
                                                       L"enablePlay", L"picFile"};
  static const std::vector<const wchar_t*> kEvent = {L"cursor"};
  static const std::vector<const wchar_t*> kNone;
  switch (kind) {
    case ChildKind::kRectangle: return kRect;
    case ChildKind::kText: return kText;
    case ChildKind::kImage: return kImage;
    case ChildKind::kLine: return kLine;
    case ChildKind::kAnimate: return kAnimate;
    case ChildKind::kEventItem: return kEvent;
    case ChildKind::kDrawItem: return kNone;
  }
  return kNone;
}

const std::vector<ChildKind>& ChildOrder(std::optional<ChildKind> owner) {
  using K = ChildKind;
  static const std::vector<K> kItem = {K::kRectangle, K::kLine, K::kAnimate, K::kDrawItem,
                                       K::kImage,     K::kEventItem, K::kText};
  static const std::vector<K> kDraw = {K::kRectangle, K::kImage, K::kEventItem, K::kLine, K::kText, K::kAnimate};
  static const std::vector<K> kEvent = {K::kRectangle, K::kImage, K::kText, K::kLine, K::kAnimate, K::kDrawItem};
  if (!owner) return kItem;
  return *owner == K::kDrawItem ? kDraw : kEvent;
}

}  // namespace skin

#pragma once
// The web pages the main window's hyperlink labels open. Kept in one place so that moving the project's
// pages means editing only this file.

// Control 1021, "更多实用工具": the project's forum.
inline constexpr wchar_t kForumAddress[] = L"https://ioslogora.example.org/forum/";
// Control 1020, "关注我们": the project's microblog page.
inline constexpr wchar_t kMicroblogAddress[] = L"https://ioslogora.example.org/microblog/";
// Control 1022, "Vendro中文源": the project's software-source page.
inline constexpr wchar_t kSourceAddress[] = L"https://ioslogora.example.org/source/";

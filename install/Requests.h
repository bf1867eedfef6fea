#pragma once
// The three requests the program sends to the installation service. They are fixed ASCII property lists
// with one placeholder each, sent as their bytes without a terminator.
#include <string>
#include <string_view>

namespace install {

// Placeholders inside the request texts.
inline constexpr std::string_view kStagedNamePlaceholder = "29637678.ipa";
inline constexpr std::string_view kAppIdPlaceholder = "E44E9374BFD34e0aAD806C54BA9008C7";

// Every occurrence of `placeholder` replaced, scanning left to right and going on after each inserted
// text (an inserted placeholder is not replaced again). An empty placeholder leaves the text as it is.
std::string ReplaceAll(std::string_view text, std::string_view placeholder, std::string_view replacement);

// "&", "<", ">", '"' and "'" as character references, so the text can stand inside an element.
std::string XmlEscape(std::string_view text);

// Installs "/PublicStaging/<staged_name>" as a carrier bundle.
std::string CarrierBundleInstallRequest(std::string_view staged_name);
// Installs the application package "/PublicStaging/<staged_name>".
std::string PackageInstallRequest(std::string_view staged_name);
// Uninstalls the application `app_id` (UTF-8; escaped here).
std::string UninstallRequest(std::string_view app_id);

}  // namespace install

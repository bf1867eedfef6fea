// The write command: builds the carrier-bundle package for the chosen carrier from the three slot
// pictures, reads it back and has the current device install it, then tells the user how it went. It runs
// on the window thread from the click to the closing box.
#include <exception>
#include <string>
#include <vector>

#include "app/AppFormMain.h"
#include "framework/MessageBoxes.h"
#include "install/DeviceInstallTarget_win.h"
#include "install/InstallOperations.h"
#include "packaging/PackageBuilder.h"

namespace {

constexpr int kCmccRadio = 1009;
constexpr wchar_t kCaptionNotice[] = L"\u63d0\u793a";                              // 提示
constexpr wchar_t kCaptionTool[] = L"Logosmith\u5de5\u5177";                        // Logosmith工具
constexpr wchar_t kNoDevice[] = L"\u8bf7\u5148\u63d2\u5165\u8bbe\u5907";           // 请先插入设备
constexpr wchar_t kWritten[] = L"\u5df2\u7ecf\u5199\u5165!";                        // 已经写入!
constexpr wchar_t kWriteFailed[] = L"\u5199\u5165\u5931\u8d25!";                    // 写入失败!
constexpr wchar_t kUnknownError[] = L"\u51fa\u73b0\u4e86\u672a\u77e5\u9519\u8bef!";  // 出现了未知错误!

}  // namespace

void AppFormMain::OnWrite() {
  if (!currentDevice) {
    fw::ShowMessageBox(hwnd_, kNoDevice, kCaptionNotice, MB_OK);
    return;
  }
  install::InstallOutcome outcome;
  try {
    const bool cmcc = ::IsDlgButtonChecked(hwnd_, kCmccRadio) == BST_CHECKED;
    const packaging::BuildResult built =
        cmcc ? packaging::BuildCmccPackage(picturePaths) : packaging::BuildUnicomPackage(picturePaths);
    if (built.error == packaging::BuildError::kPictureRejected) {
      fw::ShowMessageBox(hwnd_, app::kNotAPictureText, kCaptionNotice, MB_OK);
      return;
    }
    std::vector<uint8_t> package;
    if (!built || !packaging::TakePackageFile(built.packagePath, package)) {
      fw::ShowMessageBox(hwnd_, kUnknownError, kCaptionNotice, MB_OK);
      return;
    }
    install::DeviceInstallTarget target(*currentDevice);
    outcome = install::InstallCarrierBundle(target, package.data(), package.size());
  } catch (const std::exception&) {
    fw::ShowMessageBox(hwnd_, kUnknownError, kCaptionNotice, MB_OK);
    return;
  }
  if (outcome) {
    fw::ShowMessageBox(hwnd_, kWritten, kCaptionTool, MB_OK);
  } else {
    fw::ShowMessageBox(hwnd_, kWriteFailed + install::DescribeFailure(outcome), kCaptionNotice, MB_OK);
  }
}

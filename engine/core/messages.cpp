#include <cstdarg>
#include <cstdio>
#include <string>

#include "engine/core/application.h"
#include "engine/core/log.h"
#include "platform/system.h"

namespace {

char messageBoxText[4096];

constexpr double kBytesPerMegabyte = 1048576.0;

std::string FormatOsLine(const platform::OsVersion* version) {
    if (!version) return "  \x81\xa1 OS         : Unknown\n";
    char line[512];
    std::snprintf(line, sizeof line, "  \x81\xa1 OS         : %s / Version %d.%d / ( Build %s / %s )\n",
                  version->name.c_str(), version->major, version->minor, version->release.c_str(),
                  version->build.c_str());
    return line;
}

}  // namespace

// Every box of the engine reports an error: the type only chose the icon.
int ShowMessageBox(unsigned /*type*/, const char* caption, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(messageBoxText, sizeof messageBoxText, format, args);
    va_end(args);
    return platform::ShowMessageBox(caption, messageBoxText);
}

void LogSystemInfo() {
    WriteLog("\n============================================== SystemInfomarion\n");
    WriteLog("  \x81\xa1 Directory  : %s\n", appFolder);
    platform::MemoryStatus memory = platform::GetPhysicalMemory();
    WriteLog("  \x81\xa1 RAM        : Total %.3lfMB / Free %.3lfMB\n", memory.totalBytes / kBytesPerMegabyte,
             memory.availableBytes / kBytesPerMegabyte);
    platform::OsVersion version;
    WriteLog("%s", FormatOsLine(platform::GetOsVersion(&version) ? &version : nullptr).c_str());
    std::string user = platform::GetUserName();
    if (!user.empty()) WriteLog("  \x81\xa1 User Name  : %s\n", user.c_str());
    // Linux has no safe mode to report.
    WriteLog("  \x81\xa1 Boot Mode  : Normal Boot\n");
}

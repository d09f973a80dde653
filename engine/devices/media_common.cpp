#include "engine/devices/media_common.h"

#include "engine/core/application.h"

namespace {

// "    [ DirectX8.1以降をインストールしてください。 ]\n"
constexpr char kInstallDirectXLine[] =
    "    [ DirectX8.1\x88\xc8\x8d\x7e\x82\xf0\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x8b\x82\xb5\x82\xc4\x82\xad"
    "\x82\xbe\x82\xb3\x82\xa2\x81\x42 ]\n";

// "DirectX8.1が正しくインストールされていない可能性があります"
constexpr char kDirectXMissingText[] =
    "DirectX8.1\x82\xaa\x90\xb3\x82\xb5\x82\xad\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x8b\x82\xb3\x82\xea\x82\xc4"
    "\x82\xa2\x82\xc8\x82\xa2\x89\xc2\x94\x5c\x90\xab\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7";

}  // namespace

int ReportMissingClass(const char* errorLine, unsigned boxType) {
    WriteLog("%s", errorLine);
    WriteLog("%s", kInstallDirectXLine);
    ShowMessageBox(boxType, "Error", "%s", kDirectXMissingText);
    return 0;
}

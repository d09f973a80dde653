// The launcher's "Setup.ini", edited by whoever packs the game: any bytes.
#include <string>

#include "fuzz/fuzz_support.h"
#include "tools/launcher/core/ini_file.h"
#include "tools/launcher/core/setup_file.h"

using launcher::IniFile;
using launcher::SetupFile;

namespace {

constexpr const char* kPath = "Setup.ini";

// What parses as an integer prints and parses back to the same value.
void CheckInteger(std::string_view text) {
    int value = 0;
    if (!launcher::ParseIniInteger(text, value)) return;
    int again = 0;
    FUZZ_CHECK(launcher::ParseIniInteger(std::to_string(value), again) && again == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteFile(kPath, {data, size});
    const SetupFile setup(kPath);
    FUZZ_CHECK(fuzz::IsValidUtf8(setup.GameTitle()));
    FUZZ_CHECK(fuzz::IsValidUtf8(setup.InstDir()));
    FUZZ_CHECK(setup.FileNum() >= 0);
    const int count = setup.ShortcutCount();
    FUZZ_CHECK(count >= 0 && count <= SetupFile::kMaxShortcuts);
    // A long table reads the file twice per entry; a few entries cover the code.
    if (count <= 8) {
        for (const launcher::ShortcutEntry& entry : setup.LoadShortcutTable()) {
            FUZZ_CHECK(fuzz::IsValidUtf8(entry.name) && fuzz::IsValidUtf8(entry.target));
        }
    }

    // Names compare without regard to ASCII case.
    const IniFile ini(kPath);
    FUZZ_CHECK(ini.ReadString("setup", "inst_dir", "\x01") == ini.ReadString(" SETUP ", "Inst_Dir", "\x01"));
    const std::string fileNum = ini.ReadString("Setup", "FILE_NUM", "");
    CheckInteger(fileNum);
    CheckInteger({reinterpret_cast<const char*>(data), size});
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    seeds.Add("setup.ini",
              "[Setup]\r\n"
              "GAME_TITLE=\x83\x67\x83\x75\x83\x89\x83\x5B\x83\x8B\r\n"  // a CP932 title
              "INST_DIR=Tobrazel\r\n"
              "FILE_NUM=$1F4\r\n"
              "SC_NUM=2\r\n"
              "SC_TARGET0=game\r\n"
              "SC_NAME0=\"Play\"\r\n"
              "SC_TARGET1=replaydesk\r\n"
              "SC_NAME1='Replays'\r\n");
    seeds.Add("sections.ini",
              "; packed by hand\n"
              "[Other]\nINST_DIR=wrong\n"
              "[ setup ]\n  inst_dir =  Game  \n  file_num=-0x10\nsc_num=9999\n"
              "[Setup]\nINST_DIR=second\n");
}

// "config.dat", "system.dat" and "ranking.dat" as a user may leave them: any
// length, any bytes. The first input byte picks the file, the rest is its
// content.
#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "game/flow/save_files.h"

namespace {

constexpr const char* kFiles[] = {"config.dat", "system.dat", "ranking.dat"};

template <typename Record>
std::span<const uint8_t> BytesOf(const Record& record) {
    return {reinterpret_cast<const uint8_t*>(&record), sizeof record};
}

void CheckConfig(std::span<const uint8_t> file) {
    LoadConfig();
    // The file is read, never rewritten.
    FUZZ_CHECK(fuzz::ReadFile("config.dat") == std::vector<uint8_t>(file.begin(), file.end()));
    FUZZ_CHECK(std::memchr(config.peerHost, '\0', sizeof config.peerHost) != nullptr);
    FUZZ_CHECK(config.localSide == 0 || config.localSide == 1);
    for (const ConfigPad& pad : config.pads) {
        for (int32_t button : {pad.buttonZ, pad.buttonX, pad.buttonV, pad.buttonC, pad.buttonA, pad.buttonS,
                               pad.buttonT}) {
            FUZZ_CHECK(button == JOYSTICK_BUTTON_UNMAPPED || (button >= 0 && button <= 15));
        }
    }
    // Fields the loader has no reason to touch keep the file's bytes.
    const size_t kept = std::min(file.size(), offsetof(Config, pads));
    FUZZ_CHECK(std::equal(file.begin(), file.begin() + kept, BytesOf(config).begin()));
}

void CheckSystemData(std::span<const uint8_t> file) {
    LoadSystemData();
    const std::span<const uint8_t> bytes = BytesOf(systemData);
    for (size_t i = 0; i < bytes.size(); ++i) {
        FUZZ_CHECK(bytes[i] <= 1);
        if (i < file.size()) FUZZ_CHECK(bytes[i] == (file[i] != 0));
    }
    // Past a short file's end the defaults stand: the first characters and
    // stages stay unlocked.
    if (file.size() <= offsetof(SystemData, characterUnlocked) + 1) FUZZ_CHECK(systemData.characterUnlocked[1] == 1);
}

void CheckRanking(uint32_t score) {
    LoadRanking();
    for (const RankingTable& table : rankingTables) {
        for (const RankingEntry& entry : table.entries) {
            FUZZ_CHECK(entry.characterId >= 1 && entry.characterId <= 8);
            for (int32_t letter : entry.letters) FUZZ_CHECK(letter >= 0 && letter < RANKING_ALPHABET);
        }
    }
    const int difficulty = static_cast<int>(score % 4);  // 3 is outside the tables
    const int place = InsertRanking(difficulty, 1 + score % 8, static_cast<int32_t>(score));
    FUZZ_CHECK((place >= 0 && place < RANKING_ENTRIES) || place == RANKING_NOT_ENTERED);
    if (place != RANKING_NOT_ENTERED) {
        FUZZ_CHECK(rankingTables[difficulty].entries[place].score == static_cast<int32_t>(score));
    }
    // What is saved loads back unchanged.
    std::vector<uint8_t> saved(BytesOf(rankingTables).begin(), BytesOf(rankingTables).end());
    FUZZ_CHECK(SaveRanking());
    LoadRanking();
    FUZZ_CHECK(std::ranges::equal(saved, BytesOf(rankingTables)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int which = data[0] % 3;
    const std::span<const uint8_t> file(data + 1, size - 1);
    fuzz::WriteFile(kFiles[which], file);
    switch (which) {
        case 0: CheckConfig(file); break;
        case 1: CheckSystemData(file); break;
        default: {
            uint32_t score = 0;
            std::memcpy(&score, file.data(), std::min<size_t>(file.size(), sizeof score));
            CheckRanking(score);
        }
    }
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    auto add = [&](const std::string& name, int which) {
        std::vector<uint8_t> bytes{static_cast<uint8_t>(which)};
        const std::vector<uint8_t> file = fuzz::ReadFile(kFiles[which]);
        FUZZ_CHECK(!file.empty());
        bytes.insert(bytes.end(), file.begin(), file.end());
        seeds.Add(name, bytes);
        bytes.resize(bytes.size() / 2);
        seeds.Add(name + "_short", bytes);
    };
    LoadConfig();  // creates the default file
    add("config", 0);
    LoadSystemData();
    add("system", 1);
    for (uint8_t& flag : systemData.characterUnlocked) flag = 1;
    systemData.extraUnlocked = 1;
    FUZZ_CHECK(SaveSystemData());
    add("system_unlocked", 1);
    LoadRanking();
    FUZZ_CHECK(SaveRanking());
    add("ranking", 2);
    FUZZ_CHECK(InsertRanking(1, 8, 9500) == 1);
    FUZZ_CHECK(SaveRanking());
    add("ranking_inserted", 2);
}

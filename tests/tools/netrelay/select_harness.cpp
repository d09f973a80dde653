// select_harness: whole network matches between two processes, from the
// network select screen into the battle, through a relay that loses,
// duplicates, reorders, delays and damages datagrams. Each match starts a
// relay and two battle peers (--match) whose players come from the match's
// seed; it passes when both peers enter the same battle (the same characters,
// colours and stage, and the same state hashes for the battle's first frames)
// or both go back to the title menu. Any other ending is a split, and so is
// a side that sent more than kMostPacketsASecond datagrams within a second.
// With --kill-after-decided SIDE that side's game is killed at a moment
// drawn from the seed (up to 12 s) after both screens decided the match; the
// other side passes when it ends in time, at the title or in its battle,
// alone.
//
//   select_harness [--seeds FIRST:COUNT] [--slow-line 0|1] [--jobs J] [--keep DIR]
//                  [--loss P] [--duplicate P] [--reorder P] [--corrupt P]
//                  [--delay-ms MS] [--jitter-ms MS] [--kill-after-decided 0|1]
//
// It prints one line a match and a summary, keeps the logs of every failed
// match (or of all, with --keep) and exits with 1 when a match failed.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/netrelay/child_process.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    uint32_t firstSeed = 1, count = 10;
    int slowLine = 0;
    int jobs = 4;
    std::string keep;  // keep every match's logs under this folder
    std::string loss = "0.1", duplicate = "0.05", reorder = "0.1", corrupt = "0.01";
    std::string delayMs = "20", jitterMs = "10";
    int killSide = -1;  // the side killed after both decided; -1: none
};

// The latest entry of a match, a side's time limit and the time to end.
constexpr auto kLatestEntry = std::chrono::seconds(10);
constexpr auto kMatchLimit = std::chrono::seconds(440);
constexpr int kBattleFrames = 600;
// The latest moment of the kill after both decided (on a lossy line the
// screens' fade-out takes seconds: a kill then finds the other side on its
// select screen, its versus screen, in its start handshake or its battle),
// and how long the other side may take from the kill to its end: its select
// screen's 9 s or its start handshake's 11 s of silence, its lone battle's
// 612 frames, and room for a loaded machine.
constexpr int64_t kLatestKillMs = 12000;
constexpr auto kEndAfterKill = std::chrono::seconds(120);
struct Match {
    uint32_t seed = 0;
    fs::path dir;
    Child relay;
    Child peers[2];
    Clock::time_point deadline;
    std::optional<Clock::time_point> killAt, killedAt;
};

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

Match StartMatch(const Options& options, const fs::path& root, uint32_t seed) {
    Match match;
    match.seed = seed;
    match.dir = root / ("seed" + std::to_string(seed));
    fs::create_directories(match.dir);
    const std::string seedText = std::to_string(seed);
    // The relay ends a while after both peers have gone quiet; the harness
    // stops it once both have ended anyway.
    match.relay = Spawn({NETRELAY_PATH, "--seed", seedText, "--loss", options.loss, "--duplicate", options.duplicate,
                         "--reorder", options.reorder, "--corrupt", options.corrupt, "--delay-ms", options.delayMs,
                         "--jitter-ms", options.jitterMs, "--idle-ms", "30000", "--max-ms", "400000"},
                        (match.dir / "relay.txt").string());
    std::string ports[2];
    if (!WaitForRelayPorts(match.relay, Clock::now() + std::chrono::seconds(30), &ports[0], &ports[1])) return match;
    const std::string start = std::to_string(SteadyMs() + 300);
    for (int side = 0; side < 2; ++side) {
        const std::string name = "side" + std::to_string(side);
        match.peers[side] = Spawn({BATTLE_PEER_PATH, "--match", std::to_string(side), "0", ports[side],
                                   std::to_string(options.slowLine), seedText, start,
                                   (match.dir / (name + "_hashes.txt")).string()},
                                  (match.dir / (name + ".txt")).string(), (match.dir / (name + "_log.txt")).string());
    }
    match.deadline = Clock::now() + kLatestEntry + kMatchLimit;
    return match;
}

// Reaps the child when it has ended; its pid is then forgotten, so that no
// later signal can reach a process that took the number over.
bool Ended(Child& child) {
    if (child.pid > 0 && waitpid(child.pid, nullptr, WNOHANG) != 0) child.pid = -1;
    return child.pid <= 0;
}

// The last "outcome" line a peer printed, without the word.
std::string Outcome(const Child& peer) {
    const std::string text = ReadText(peer.output);
    const size_t at = text.rfind("outcome ");
    if (at == std::string::npos) return "none";
    return text.substr(at + 8, text.find('\n', at) - at - 8);
}

int Lines(const std::string& text) {
    int lines = 0;
    for (const char c : text) lines += c == '\n';
    return lines;
}

// Whether a side's screen has decided the match: its log tells each change
// of the select screen's state, and 90 is the decided one.
bool Decided(const Match& match, int side) {
    return ReadText((match.dir / ("side" + std::to_string(side) + "_log.txt")).string()).find("->90 connected") !=
           std::string::npos;
}

// Kills the side due to be killed once both screens decided the match, at a
// moment drawn from the seed, unless it has ended by then.
void KillWhenDue(const Options& options, Match& match) {
    if (options.killSide < 0 || match.killedAt || Ended(match.peers[options.killSide])) return;
    if (!match.killAt) {
        if (!Decided(match, 0) || !Decided(match, 1)) return;
        std::mt19937 draw(match.seed);
        match.killAt = Clock::now() + std::chrono::milliseconds(draw() % kLatestKillMs);
    }
    if (Clock::now() < *match.killAt) return;
    Stop(match.peers[options.killSide]);
    match.killedAt = Clock::now();
}

// A match whose side was killed: the other must end alone, in time.
std::string JudgeSurvivor(const Options& options, const Match& match, std::string* outcome) {
    const std::string survived = Outcome(match.peers[1 - options.killSide]);
    *outcome = "killed | " + survived;
    if (Clock::now() - *match.killedAt > kEndAfterKill) return "split: no end after the kill";
    if (survived == "title") return "";
    if (survived.rfind("battle ", 0) == 0 && survived.ends_with(" connected 0")) return "";
    return "split: no lone ending";
}

// "" when the match passed, else why not.
std::string Judge(const Options& options, const Match& match, long busiest, std::string* outcome) {
    if (busiest < 0) return "the relay told no counts";
    if (busiest > kMostPacketsASecond) return "flood: " + std::to_string(busiest) + " packets within a second";
    if (match.killedAt) return JudgeSurvivor(options, match, outcome);
    const std::string a = Outcome(match.peers[0]), b = Outcome(match.peers[1]);
    *outcome = a == b ? a : a + " | " + b;
    if (a == "title" && b == "title") return "";
    if (a.rfind("battle ", 0) != 0 || b.rfind("battle ", 0) != 0) return "split";
    // The match itself (characters, colours, stage), not whether the battle
    // lost its peer.
    const auto chosen = [](const std::string& line) { return line.substr(0, line.find(" connected")); };
    if (chosen(a) != chosen(b)) return "split: different matches";
    const std::string hashesA = ReadText((match.dir / "side0_hashes.txt").string());
    const std::string hashesB = ReadText((match.dir / "side1_hashes.txt").string());
    if (Lines(hashesA) < kBattleFrames || Lines(hashesB) < kBattleFrames) return "split: a battle cut short";
    if (hashesA != hashesB) return "split: the battles differ";
    return "";
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--seeds") {
            const size_t colon = value.find(':');
            if (colon == std::string::npos) return false;
            options->firstSeed = static_cast<uint32_t>(std::stoul(value.substr(0, colon)));
            options->count = static_cast<uint32_t>(std::stoul(value.substr(colon + 1)));
        } else if (name == "--slow-line") {
            options->slowLine = std::atoi(value.c_str()) != 0;
        } else if (name == "--jobs") {
            options->jobs = std::max(1, std::atoi(value.c_str()));
        } else if (name == "--keep") {
            options->keep = value;
        } else if (name == "--loss") {
            options->loss = value;
        } else if (name == "--duplicate") {
            options->duplicate = value;
        } else if (name == "--reorder") {
            options->reorder = value;
        } else if (name == "--corrupt") {
            options->corrupt = value;
        } else if (name == "--delay-ms") {
            options->delayMs = value;
        } else if (name == "--jitter-ms") {
            options->jitterMs = value;
        } else if (name == "--kill-after-decided") {
            options->killSide = std::atoi(value.c_str()) != 0;
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: select_harness [--seeds FIRST:COUNT] [--slow-line 0|1] [--jobs J] [--keep DIR]\n"
                     "                      [--loss P] [--duplicate P] [--reorder P] [--corrupt P]\n"
                     "                      [--delay-ms MS] [--jitter-ms MS] [--kill-after-decided 0|1]\n");
        return 2;
    }
    fs::path root = options.keep;
    if (root.empty()) {
        std::string pattern = (fs::temp_directory_path() / "select_harness.XXXXXX").string();
        if (!mkdtemp(pattern.data())) return 3;
        root = pattern;
    }
    std::vector<Match> running;
    uint32_t next = options.firstSeed;
    const uint32_t end = options.firstSeed + options.count;
    int passedBattle = 0, passedTitle = 0, passedAlone = 0, failed = 0;
    long busiestSecond = 0;
    while (next < end || !running.empty()) {
        while (next < end && static_cast<int>(running.size()) < options.jobs) {
            running.push_back(StartMatch(options, root, next++));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (auto match = running.begin(); match != running.end();) {
            KillWhenDue(options, *match);
            const bool late = Clock::now() > match->deadline;
            if (!late && !(Ended(match->peers[0]) && Ended(match->peers[1]))) {
                ++match;
                continue;
            }
            for (Child& peer : match->peers) Stop(peer);
            Terminate(match->relay, Clock::now() + std::chrono::seconds(30));  // it prints its report
            const long busiest = BusiestSecond(match->relay);
            busiestSecond = std::max(busiestSecond, busiest);
            std::string outcome;
            const std::string failure = Judge(options, *match, busiest, &outcome);
            std::printf("seed %u slow %d: %s (busiest second %ld)%s%s\n", match->seed, options.slowLine,
                        outcome.c_str(), busiest, failure.empty() ? "" : "  FAILED, ", failure.c_str());
            std::fflush(stdout);
            if (!failure.empty()) {
                ++failed;
                std::printf("  logs in %s\n", match->dir.c_str());
            } else {
                (match->killedAt ? passedAlone : outcome == "title" ? passedTitle : passedBattle) += 1;
                if (options.keep.empty()) fs::remove_all(match->dir);
            }
            match = running.erase(match);
        }
    }
    std::printf("matches %u: the same battle %d, both to the title %d, one killed and the other ended alone %d, "
                "failed %d; the busiest second %ld packets from one side\n",
                options.count, passedBattle, passedTitle, passedAlone, failed, busiestSecond);
    if (failed == 0 && options.keep.empty()) fs::remove_all(root);
    return failed == 0 ? 0 : 1;
}

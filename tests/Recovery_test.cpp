// Recovery, proven exact: random sessions of strokes, undos, redos, saves
// and loads on grids of several sizes, with maps saved in the state
// folder's own file system (the base is linked) and in /dev/shm (another
// file system, so the base is named by its path). After every step the
// session's journal, rebuilt as the next start rebuilds it, must equal the
// grid byte for byte, and the unsaved state must say whether the grid
// differs from the map last saved or loaded, also when another program has
// replaced the file a base was loaded from, and when the journal is made
// afresh from the grid because it grew long. Sessions end by a quit with or
// without unsaved work, or by a crash (the keeper dropped without a word);
// the next start must hand back exactly the map of that moment, a start
// while the editor runs must leave its data be, and a clean quit must leave
// nothing behind. A state folder that cannot be made costs one message box
// and nothing else. Last, one table of hostile ends: each gives the box it
// names and the maps or damaged/ folders it names, and no file of the state
// folder disappears unnamed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/KeptMaps.h"
#include "app/MapFile.h"
#include "app/Recovery.h"
#include "app/RecoveryBox.h"
#include "app/RecoveryJournal.h"
#include "platform/HeadlessControl.h"
#include "platform/PlatformStore.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"
#include "tests/support/ImageFiles.h"

namespace {

std::vector<uint8_t> Grid(const TerrainModel& t) {
    std::vector<uint8_t> bytes;
    const size_t column = (size_t(t.height) + 1) * sizeof(TerrainVertex);
    for (int x = 0; x <= t.width; ++x) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(t.columns[x]);
        bytes.insert(bytes.end(), p, p + column);
    }
    return bytes;
}

std::vector<std::string> Sessions(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : plat::ListFolder(folder))
        if (name.rfind("session-", 0) == 0) found.push_back(folder + name + "/");
    return found;
}

// The grid the next start would rebuild from the one live session.
std::vector<uint8_t> Rebuilt(const std::string& folder) {
    const std::vector<std::string> sessions = Sessions(folder);
    if (sessions.size() != 1) return {};
    TerrainModel rebuilt(nullptr, 0, 0);
    std::string reason;
    bool unsaved = false;
    if (!RebuildFromJournal(sessions[0] + "journal", sessions[0], rebuilt, &unsaved, &reason))
        return {};
    return Grid(rebuilt);
}

struct Session {
    std::mt19937 random;
    TerrainModel terrain{nullptr, 9, 6};
    EditHistory history{12, size_t(1) << 20};
    std::vector<uint8_t> saved;  // the grid as last saved or loaded
    std::vector<std::string> files;

    int Pick(int n) { return int(random() % unsigned(n)); }

    // A stroke: random vertices of a random window get new heights and
    // grounds (sometimes none, which is no stroke); as with the tools, only
    // vertices the history was shown before are changed.
    void Stroke() {
        const int x0 = Pick(terrain.width + 1), y0 = Pick(terrain.height + 1);
        const int x1 = x0 + Pick(4), y1 = y0 + Pick(4);
        history.Touch(terrain, x0, x1, y0, y1);
        for (int n = Pick(6); n > 0; --n) {
            const int x = std::min(x0 + Pick(x1 - x0 + 1), terrain.width);
            const int y = std::min(y0 + Pick(y1 - y0 + 1), terrain.height);
            terrain.columns[x][y].height = float(Pick(2000)) / 1000.0f - 1.0f;
            terrain.columns[x][y].ground = "ews"[Pick(3)];
            terrain.columns[x][y].tileTexture = uint32_t(Pick(40));
        }
        history.EndStroke(terrain);
    }
};

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        state = dir.Path() + "/state/terrain-editor/";
        shm = plat::IsFolder("/dev/shm") ? dir.Path() + "-shm" : std::string();
        if (!shm.empty()) shm = "/dev/shm/" + shm.substr(shm.rfind('/') + 1);
        if (!shm.empty()) {
            ASSERT_TRUE(plat::MakeFolders(shm));
        }
    }
    void TearDown() override {
        if (!shm.empty()) testimg::Run("rm -rf '" + shm + "'");
    }
    testimg::TempDir dir;
    std::string state, shm;
};

TEST_F(RecoveryTest, JournalRebuildsTheGridAfterEveryStepOfRandomSessions) {
    Session s;
    s.random.seed(20261209);
    for (int run = 0; run < 12; ++run) {
        s.terrain.Resize(5 + run % 4, 4 + run % 3);
        s.history.Clear();
        s.saved = Grid(s.terrain);
        std::vector<uint8_t> last;
        {
            // Every other run writes the grid whole whenever the journal
            // outgrows twice the grid.
            RecoveryKeeper keeper(state, run % 2 ? 0 : RecoveryKeeper::kJournalCompactBytes);
            EXPECT_TRUE(keeper.RecoverEnded().maps.empty());
            s.history.SetChangeSink(&RecoveryKeeper::Collect, &keeper);
            for (int step = 0; step < 60; ++step) {
                const int what = s.Pick(20);
                if (what < 11) {
                    s.Stroke();
                } else if (what < 14) {
                    s.history.Undo(s.terrain);
                } else if (what < 17) {
                    s.history.Redo(s.terrain);
                } else if (what == 17 && !s.files.empty()) {
                    // Another program replaces a map of the state folder's
                    // file system: a base kept by its link still stands.
                    const std::string& path = s.files[size_t(s.Pick(int(s.files.size())))];
                    TerrainModel other(nullptr, 3, 3);
                    if (path.rfind(dir.Path(), 0) == 0) {
                        ASSERT_TRUE(WriteMapFile(path.c_str(), other));
                    }
                } else if (what < 19 || s.files.empty()) {
                    const std::string folder = !shm.empty() && s.Pick(2) ? shm : dir.Path();
                    const std::string path = folder + "/map" + std::to_string(s.Pick(4)) + ".map";
                    ASSERT_TRUE(WriteMapFile(path.c_str(), s.terrain));
                    s.history.MarkSaved();
                    keeper.Rebase(s.terrain, path);
                    s.saved = Grid(s.terrain);
                    s.files.push_back(path);
                } else {
                    const std::string& path = s.files[size_t(s.Pick(int(s.files.size())))];
                    ASSERT_TRUE(ReadMapFile(path.c_str(), s.terrain));
                    s.history.Clear();
                    s.history.MarkSaved();
                    keeper.Rebase(s.terrain, path);
                    s.saved = Grid(s.terrain);
                }
                keeper.Flush(s.terrain, s.history.Unsaved());
                const std::vector<uint8_t> now = Grid(s.terrain);
                ASSERT_EQ(s.history.Unsaved(), now != s.saved) << "run " << run << " step " << step;
                if (!Sessions(state).empty()) {
                    ASSERT_TRUE(Rebuilt(state) == now) << "run " << run << " step " << step;
                }
                if (step == 30) {
                    // A second editor starting now leaves this one's data be.
                    RecoveryKeeper other(state);
                    EXPECT_TRUE(other.RecoverEnded().maps.empty());
                    ASSERT_TRUE(Sessions(state).empty() || Rebuilt(state) == now);
                }
            }
            last = Grid(s.terrain);
            const int end = run % 3;  // 0 quit, 1 crash, 2 quit after saving
            if (end == 2) {
                ASSERT_TRUE(WriteMapFile(dir.File("final.map").c_str(), s.terrain));
                s.history.MarkSaved();
            }
            if (end != 1) keeper.Finish(s.terrain, s.history.Unsaved());
            if (end == 0 && s.history.Unsaved()) {
                EXPECT_FALSE(keeper.RecoveredPath().empty());
            }
            s.history.SetChangeSink(nullptr, nullptr);
            EXPECT_FALSE(keeper.HasFailed());
        }
        // The next start: exactly the map of the end, or nothing at all.
        const bool lost = s.history.Unsaved();
        RecoveryKeeper next(state);
        const std::vector<RecoveredMap> recovered = next.RecoverEnded().maps;
        ASSERT_EQ(recovered.size(), lost ? 1u : 0u) << "run " << run;
        EXPECT_TRUE(Sessions(state).empty());
        if (lost) {
            TerrainModel back(nullptr, 0, 0);
            ASSERT_TRUE(ReadMapFile(recovered[0].path.c_str(), back));
            EXPECT_TRUE(Grid(back) == last) << "run " << run;
        }
    }
    // Only the newest recovered maps stay.
    size_t maps = 0;
    for (const std::string& name : plat::ListFolder(state)) maps += name.rfind("Wieder", 0) == 0;
    EXPECT_LE(maps, RecoveryKeeper::kKeptRecoveredMaps);
}

TEST_F(RecoveryTest, AStateFolderThatCannotBeWrittenIsToldOnceAndCostsNothingElse) {
    testimg::WriteAll(dir.File("file"), {1});
    RecoveryKeeper keeper(dir.File("file") + "/terrain-editor/");
    Session s;
    s.history.SetChangeSink(&RecoveryKeeper::Collect, &keeper);
    for (int i = 0; i < 20; ++i) {
        s.Stroke();
        keeper.Flush(s.terrain, s.history.Unsaved());
    }
    keeper.Finish(s.terrain, s.history.Unsaved());
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text,
              "Die Wiederherstellungsdaten k\xC3\xB6nnen nicht geschrieben werden.");
    EXPECT_EQ(headless::MessageBoxes()[0].title, "Fehler");
    EXPECT_EQ(headless::MessageBoxes()[0].flags, 0x30u);
    EXPECT_TRUE(s.history.Unsaved());
}

// The files below folder, by path.
std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        if (!it->is_directory()) files.push_back(it->path().string());
    return files;
}

TEST_F(RecoveryTest, HostileEndsAreRecoveredOrKeptAsideAndAlwaysNamed) {
    const std::string damaged =
        "Die Wiederherstellungsdaten einer Sitzung sind besch\xC3\xA4"
        "digt und wurden aufbewahrt:\n";
    struct Case {
        const char* name;
        int sessions;
        bool fromFile;                                 // the base is a saved map
        std::function<void(const std::string&)> harm;  // on the session folder
        size_t maps, moved;
        const char* box;  // the start of the box's text
    };
    const auto cut = [](off_t size) {
        return
            [size](const std::string& s) { ASSERT_EQ(truncate((s + "journal").c_str(), size), 0); };
    };
    const Case cases[] = {
        {"cp -a away and back", 1, true,
         [this](const std::string& s) {
             ASSERT_TRUE(testimg::Run("cp -a '" + s + "' '" + dir.File("away") + "' && rm -rf '" +
                                      s + "' && cp -a '" + dir.File("away") + "' '" + s + "'"));
         },
         1, 0, "Die ungespeicherte Karte der letzten Sitzung wurde gesichert:\n"},
        {"empty journal", 1, false, cut(0), 1, 1, "Die ungespeicherte Karte"},
        {"journal cut in its header", 1, false, cut(30), 1, 1, "Die ungespeicherte Karte"},
        {"bad header checksum", 1, false,
         [](const std::string& s) {
             ASSERT_TRUE(testimg::Run("printf 'X' | dd of='" + s +
                                      "journal' bs=1 seek=9 conv=notrunc 2>/dev/null"));
         },
         1, 1, "Die ungespeicherte Karte"},
        {"journal missing", 1, false, [](const std::string& s) { plat::RemoveFile(s + "journal"); },
         1, 1, "Die ungespeicherte Karte"},
        {"journal a FIFO", 1, false,
         [](const std::string& s) {
             plat::RemoveFile(s + "journal");
             ASSERT_TRUE(testimg::Run("mkfifo '" + s + "journal'"));
         },
         1, 1, "Die ungespeicherte Karte"},
        {"saved base changed", 1, true,
         [](const std::string& s) {
             ASSERT_TRUE(testimg::Run("for f in '" + s + "'base-*; do printf X >>\"$f\"; done"));
         },
         0, 1, damaged.c_str()},
        {"twelve sessions", 12, false, nullptr, 12, 0,
         "Die ungespeicherten Karten der letzten Sitzungen wurden gesichert:\n"},
        {"NaN in a change", 1, false,
         [](const std::string& s) {
             TerrainVertex bad{};
             bad.height = std::nanf("");
             const uint32_t index = 0;
             std::vector<uint8_t> change;
             AppendJournalChange(GridChange{&index, &bad, 1, 9, 6}, &change);
             plat::AppendFile journal = plat::OpenAppend(s + "journal");
             ASSERT_TRUE(plat::Append(journal, change.data(), change.size(), true));
             plat::CloseAppend(journal);
         },
         1, 0, "Die ungespeicherte Karte"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testimg::Run("rm -rf '" + state + "' '" + dir.File("away") + "'");
        headless::Reset();
        Session s;
        s.random.seed(7);
        std::vector<uint8_t> last;
        for (int n = 0; n < c.sessions; ++n) {
            RecoveryKeeper keeper(state);  // dropped without Finish: a crash
            s.history.SetChangeSink(&RecoveryKeeper::Collect, &keeper);
            if (c.fromFile) {
                ASSERT_TRUE(WriteMapFile(dir.File("hill.map").c_str(), s.terrain));
                s.history.MarkSaved();
                keeper.Rebase(s.terrain, dir.File("hill.map"));
            }
            for (int i = 0; i < 3; ++i, keeper.Flush(s.terrain, s.history.Unsaved())) s.Stroke();
            last = Grid(s.terrain);
            s.history.SetChangeSink(nullptr, nullptr);
        }
        for (const std::string& session : Sessions(state))
            if (c.harm) c.harm(session);
        const std::vector<std::string> before = FilesBelow(state);
        const RecoveryReport report = RecoveryKeeper(state).RecoverEnded();
        TellRecovery(report);
        EXPECT_EQ(report.maps.size(), c.maps);
        EXPECT_EQ(report.damaged.size(), c.moved);
        EXPECT_TRUE(Sessions(state).empty());
        ASSERT_FALSE(headless::MessageBoxes().empty());
        const std::string& box = headless::MessageBoxes()[0].text;
        EXPECT_EQ(box.rfind(c.box, 0), 0u) << box;
        for (const RecoveredMap& map : report.maps)
            EXPECT_NE(box.find(map.path), std::string::npos);
        for (const std::string& moved : report.damaged)
            EXPECT_NE(box.find(damaged + moved), std::string::npos) << box;
        // A file is still there, moved with its session, or its session
        // became a named map.
        for (const std::string& file : before) {
            const std::string name = std::filesystem::path(file).filename().string();
            bool kept = std::filesystem::exists(file) || (c.moved == 0 && c.maps > 0);
            for (const std::string& moved : report.damaged)
                kept = kept || std::filesystem::exists(moved + name);
            EXPECT_TRUE(kept) << file;
        }
        if (c.moved == 0 && c.maps == 1) {
            TerrainModel back(nullptr, 0, 0);
            ASSERT_TRUE(ReadMapFile(report.maps[0].path.c_str(), back));
            EXPECT_TRUE(Grid(back) == last);
            EXPECT_NE(box.find(c.fromFile ? " (aus hill.map)" : " (neue Karte)"),
                      std::string::npos);
        }
        if (c.moved == 1 && c.maps == 1) {
            EXPECT_TRUE(report.maps[0].strokesMissing);
            EXPECT_NE(box.find(" (ohne die Striche"), std::string::npos);
        }
    }
}

// A start that cannot write the recovered map says why, every start, and
// keeps the session until one can.
TEST_F(RecoveryTest, AStartThatCannotRecoverSaysSoEveryStartUntilItCan) {
    Session s;
    {
        RecoveryKeeper keeper(state);
        s.history.SetChangeSink(&RecoveryKeeper::Collect, &keeper);
        s.Stroke();
        keeper.Flush(s.terrain, s.history.Unsaved());
        s.history.SetChangeSink(nullptr, nullptr);
    }
    // Read-only, and for root immutable too.
    const std::string lock = "chmod a-w '" + state + "' && { [ $(id -u) != 0 ] || chattr +i '";
    if (!testimg::Run(lock + state + "' 2>/dev/null; }")) GTEST_SKIP() << "no chattr here";
    for (int start = 0; start < 2; ++start) {
        headless::Reset();
        EXPECT_TRUE(TellRecovery(RecoveryKeeper(state).RecoverEnded()).empty());
        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::MessageBoxes()[0].title, "Fehler");
        const std::string& text = headless::MessageBoxes()[0].text;
        EXPECT_TRUE(text.find(std::strerror(EPERM)) != std::string::npos ||
                    text.find(std::strerror(EACCES)) != std::string::npos) << text;
        EXPECT_EQ(Sessions(state).size(), 1u);
    }
    ASSERT_TRUE(testimg::Run("chattr -i '" + state + "' 2>/dev/null; chmod u+w '" + state + "'"));
    headless::Reset();
    headless::ScriptBoxAnswers({true});  // "Öffnen": the map to load now
    const std::string open = TellRecovery(RecoveryKeeper(state).RecoverEnded());
    TerrainModel back(nullptr, 0, 0);
    EXPECT_TRUE(ReadMapFile(open.c_str(), back) && Grid(back) == Grid(s.terrain));
}

// Twelve saves over one map keep the ten maps they replaced last, the
// newest holding the bytes of the save before; a save that is refused
// keeps nothing.
TEST_F(RecoveryTest, ASaveKeepsTheTenMapsItReplacedLast) {
    const std::string map = dir.File("hill.map");
    std::vector<std::vector<uint8_t>> saved;
    for (int n = 0; n < 12; ++n) {
        TerrainModel grid(nullptr, 2 + n, 3);
        ASSERT_TRUE(SaveKeepingReplaced(state.c_str(), map.c_str(), grid));
        saved.push_back(testimg::ReadAll(map));
    }
    std::vector<std::vector<uint8_t>> kept;
    for (const std::string& name : plat::ListFolder(state))
        kept.push_back(testimg::ReadAll(state + name));
    ASSERT_EQ(kept.size(), 10u);
    for (int n = 1; n <= 10; ++n)  // the first save replaced nothing
        EXPECT_NE(std::find(kept.begin(), kept.end(), saved[size_t(n)]), kept.end()) << n;
    ASSERT_TRUE(testimg::Run("chmod a-w '" + map + "'"));  // refused: read-only
    EXPECT_FALSE(SaveKeepingReplaced(state.c_str(), map.c_str(), TerrainModel(nullptr, 1, 1)));
    EXPECT_EQ(plat::ListFolder(state).size(), 10u);
}

}  // namespace

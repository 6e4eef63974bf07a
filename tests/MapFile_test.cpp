// Map files: the byte layout of saved maps, loading of whole, short, cut and
// damaged files, the dialog steps with cancel, and a save that fails part
// way. The steps run against the headless backend with scripted dialog
// answers; files live in a temporary folder per test.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/Editor.h"
#include "app/MapFile.h"
#include "gl/LittleEndian.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/TerrainModel.h"
#include "tests/support/ImageFiles.h"

namespace {

const size_t kMap256Bytes = 4491340;

// The editor's objects as RunEditor makes them, torn down after each test.
class MapFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        gWindow = new OpenGLFullscreen(1280, 1024);
        ASSERT_TRUE(gWindow->IsCreated());
        gTerrain = new TerrainModel(gWindow, 256, 256);
        gEditMode = 0;
    }
    void TearDown() override {
        delete gTerrain;
        delete gWindow;
        gTerrain = nullptr;
        gWindow = nullptr;
    }
    // A fresh backend needs fresh objects: the old window's would be gone.
    void Restart() {
        TearDown();
        SetUp();
    }
    testimg::TempDir dir;
};

std::vector<uint8_t> VertexBytes(const TerrainVertex& v) {
    const auto* p = reinterpret_cast<const uint8_t*>(&v);
    return std::vector<uint8_t>(p, p + sizeof v);
}

// Every byte of every vertex random, padding and NaN patterns included.
void FillRandom(TerrainModel& t, unsigned seed) {
    std::mt19937 rng(seed);
    for (int x = 0; x <= t.width; ++x)
        for (int y = 0; y <= t.height; ++y) {
            auto* p = reinterpret_cast<uint8_t*>(&t.columns[x][y]);
            for (size_t i = 0; i < sizeof(TerrainVertex); ++i) p[i] = uint8_t(rng());
        }
}

// The whole grid as the file order lays it out, for byte-exact comparison.
std::vector<uint8_t> GridBytes(const TerrainModel& t) {
    std::vector<uint8_t> all;
    for (int y = 0; y <= t.height; ++y)
        for (int x = 0; x <= t.width; ++x) {
            std::vector<uint8_t> v = VertexBytes(t.columns[x][y]);
            all.insert(all.end(), v.begin(), v.end());
        }
    return all;
}

bool AllInitial(const TerrainModel& t) {
    TerrainVertex fresh;
    std::memset(&fresh, 0, sizeof fresh);
    fresh.ground = 'e';
    for (int x = 0; x <= t.width; ++x)
        for (int y = 0; y <= t.height; ++y)
            if (std::memcmp(&t.columns[x][y], &fresh, sizeof fresh) != 0) return false;
    return true;
}

std::vector<uint8_t> Header(int32_t width, int32_t height) {
    std::vector<uint8_t> h(8);
    WriteLe32(h.data(), uint32_t(width));
    WriteLe32(h.data() + 4, uint32_t(height));
    return h;
}

size_t FilesIn(const std::string& path) {
    using It = std::filesystem::directory_iterator;
    return size_t(std::distance(It(path), It()));
}

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};

mode_t ModeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// One way people keep a map, and what a save or load through the dialog step
// must leave behind. prepare fills the row's own folder and returns the path
// the user chooses (empty: the dialog is cancelled); check looks at the
// folder afterwards, given the bytes the saved map must have.
struct KeptFileCase {
    const char* what;
    int request;  // 1 load, 2 save
    std::string (*prepare)(const std::string& folder);
    const char* message;  // the one message box expected, or null for none
    bool asOtherUser;     // the save runs as an unprivileged user who does not own the files
    size_t entries;       // entries in the folder afterwards: no temporary file is left
    void (*check)(const std::string& folder, const std::vector<uint8_t>& map);
};

// The boxes' texts, "@" standing for the file's path.
const char* const kSaveFailed = "Die Karte konnte nicht gespeichert werden.\n@: Permission denied";
const char* const kSaveNotAFile = "Die Karte konnte nicht gespeichert werden.\n@: Invalid argument";
const char* const kLoadRefused =
    "Die Karte kann nicht geladen werden.\n@: ist keine gew\xC3\xB6hnliche Datei (ein Ordner, "
    "eine Pipe oder ein Ger\xC3\xA4t)";
const char* const kNotAMap = "Die Karte kann nicht geladen werden.\n@: ist keine Karte. "
                             "H\xC3\xB6henbilder (PNG, RAW16) macht \"mapconvert import\" zu Karten.";

const KeptFileCase kKeptFileCases[] = {
    {"cancelled save", 2, [](const std::string&) { return std::string(); }, nullptr, false, 0,
     [](const std::string&, const std::vector<uint8_t>&) {}},
    {"new map gets the usual mode", 2, [](const std::string& f) { return f + "/new.map"; },
     nullptr, false, 1,
     [](const std::string& f, const std::vector<uint8_t>& map) {
         EXPECT_EQ(testimg::ReadAll(f + "/new.map"), map);
         const mode_t mask = umask(0);
         umask(mask);
         EXPECT_EQ(ModeOf(f + "/new.map") & 07777, 0666 & ~mask);
     }},
    {"mode 0600 is kept", 2,
     [](const std::string& f) {
         testimg::WriteAll(f + "/private.map", kOld);
         chmod((f + "/private.map").c_str(), 0600);
         return f + "/private.map";
     },
     nullptr, false, 1,
     [](const std::string& f, const std::vector<uint8_t>& map) {
         EXPECT_EQ(testimg::ReadAll(f + "/private.map"), map);
         EXPECT_EQ(ModeOf(f + "/private.map") & 07777, 0600u);
     }},
    {"own read-only map is not replaced", 2,
     [](const std::string& f) {
         testimg::WriteAll(f + "/locked.map", kOld);
         chmod((f + "/locked.map").c_str(), 0444);
         return f + "/locked.map";
     },
     kSaveFailed, false, 1,
     [](const std::string& f, const std::vector<uint8_t>&) {
         EXPECT_EQ(testimg::ReadAll(f + "/locked.map"), kOld);
         EXPECT_EQ(ModeOf(f + "/locked.map") & 07777, 0444u);
     }},
    {"read-only map of another owner in a writable folder", 2,
     [](const std::string& f) {
         testimg::WriteAll(f + "/theirs.map", kOld);
         chmod((f + "/theirs.map").c_str(), 0444);
         return f + "/theirs.map";
     },
     kSaveFailed, true, 1,
     [](const std::string& f, const std::vector<uint8_t>&) {
         EXPECT_EQ(testimg::ReadAll(f + "/theirs.map"), kOld);
         EXPECT_EQ(ModeOf(f + "/theirs.map") & 07777, 0444u);
     }},
    {"map of another owner that only the owner may write", 2,
     [](const std::string& f) {
         testimg::WriteAll(f + "/theirs.map", kOld);
         chmod((f + "/theirs.map").c_str(), 0644);
         return f + "/theirs.map";
     },
     kSaveFailed, true, 1,
     [](const std::string& f, const std::vector<uint8_t>&) {
         EXPECT_EQ(testimg::ReadAll(f + "/theirs.map"), kOld);
     }},
    {"symbolic link is followed", 2,
     [](const std::string& f) {
         std::filesystem::create_directory(f + "/elsewhere");
         testimg::WriteAll(f + "/elsewhere/real.map", kOld);
         std::filesystem::create_symlink("elsewhere/real.map", f + "/link.map");
         return f + "/link.map";
     },
     nullptr, false, 2,
     [](const std::string& f, const std::vector<uint8_t>& map) {
         EXPECT_TRUE(S_ISLNK(ModeOf(f + "/link.map")));
         EXPECT_EQ(testimg::ReadAll(f + "/elsewhere/real.map"), map);
         EXPECT_EQ(FilesIn(f + "/elsewhere"), 1u);
     }},
    {"hard link: the chosen name gets the map, the other keeps the old one", 2,
     [](const std::string& f) {
         testimg::WriteAll(f + "/a.map", kOld);
         std::filesystem::create_hard_link(f + "/a.map", f + "/b.map");
         return f + "/a.map";
     },
     nullptr, false, 2,
     [](const std::string& f, const std::vector<uint8_t>& map) {
         EXPECT_EQ(testimg::ReadAll(f + "/a.map"), map);
         EXPECT_EQ(testimg::ReadAll(f + "/b.map"), kOld);
     }},
    {"name of 255 bytes", 2, [](const std::string& f) { return f + "/" + std::string(251, 'n') + ".map"; },
     nullptr, false, 1,
     [](const std::string& f, const std::vector<uint8_t>& map) {
         EXPECT_EQ(testimg::ReadAll(f + "/" + std::string(251, 'n') + ".map"), map);
     }},
    {"FIFO as save target is not replaced", 2,
     [](const std::string& f) {
         mkfifo((f + "/pipe.map").c_str(), 0666);
         return f + "/pipe.map";
     },
     kSaveNotAFile, false, 1,
     [](const std::string& f, const std::vector<uint8_t>&) {
         EXPECT_TRUE(S_ISFIFO(ModeOf(f + "/pipe.map")));
     }},
    {"folder loaded", 1,
     [](const std::string& f) {
         std::filesystem::create_directory(f + "/folder.map");
         return f + "/folder.map";
     },
     kLoadRefused, false, 1, [](const std::string&, const std::vector<uint8_t>&) {}},
    {"FIFO loaded", 1,
     [](const std::string& f) {
         mkfifo((f + "/pipe.map").c_str(), 0666);
         return f + "/pipe.map";
     },
     kLoadRefused, false, 1, [](const std::string&, const std::vector<uint8_t>&) {}},
    {"header refused", 1,
     [](const std::string& f) {
         testimg::WriteAll(f + "/bad.map", Header(-1, 5));
         return f + "/bad.map";
     },
     kNotAMap, false, 1, [](const std::string&, const std::vector<uint8_t>&) {}},
    {"missing file loaded", 1, [](const std::string& f) { return f + "/missing.map"; }, nullptr,
     false, 0, [](const std::string&, const std::vector<uint8_t>&) {}},
};

// Runs the save step in a child process as the unprivileged user "nobody"
// (the files belong to root, the folder is writable for everyone): a test
// run as root would otherwise be allowed everything. Returns the number of
// message boxes the child showed, or -1 when it could not run.
int SaveAsOtherUser(const std::string& folder) {
    const struct passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr || chmod(folder.c_str(), 0777) != 0) return -1;
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(100);
        MapSave();
        _exit(int(headless::MessageBoxes().size()));
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 100 ? -1 : WEXITSTATUS(status);
}

}  // namespace

TEST_F(MapFileTest, FilesStayAsTheUserKeptThem) {
    FillRandom(*gTerrain, 9);
    const std::vector<uint8_t> grid = GridBytes(*gTerrain);
    std::vector<uint8_t> map(kMapHeaderBytes + grid.size());
    WriteLe32(map.data(), 256);
    WriteLe32(map.data() + 4, 256);
    std::copy(grid.begin(), grid.end(), map.begin() + kMapHeaderBytes);
    chmod(dir.Path().c_str(), 0755);

    int index = 0;
    for (const KeptFileCase& c : kKeptFileCases) {
        SCOPED_TRACE(c.what);
        const std::string folder = dir.File(std::to_string(index++));
        std::filesystem::create_directory(folder);
        const std::string path = c.prepare(folder);
        // Without privileges the files cannot belong to someone else.
        if (c.asOtherUser && geteuid() != 0) continue;

        Restart();
        FillRandom(*gTerrain, 9);
        headless::ScriptFileDialogAnswers({path.empty() ? nullptr : path.c_str()});
        gEditMode = c.request;
        if (c.asOtherUser) {
            EXPECT_EQ(SaveAsOtherUser(folder), 1);
        } else {
            if (c.request == 1) MapLoad(); else MapSave();
            EXPECT_EQ(gEditMode, 0);
            EXPECT_EQ(headless::FileDialogCalls(), 1);
            ASSERT_EQ(headless::MessageBoxes().size(), c.message ? 1u : 0u);
            if (c.message) {
                const headless::RecordedBox& box = headless::MessageBoxes()[0];
                std::string text = c.message;
                text.replace(text.find('@'), 1, path);
                EXPECT_EQ(box.text, text);
                EXPECT_EQ(box.title, "Fehler");
                EXPECT_EQ(box.flags, 0x30u);
                EXPECT_EQ(box.owner, nullptr);
            }
        }
        EXPECT_EQ(GridBytes(*gTerrain), grid);
        EXPECT_EQ(FilesIn(folder), c.entries);
        c.check(folder, map);
    }
}

TEST_F(MapFileTest, SaveWritesHeaderAndRowOrderAndLoadRestoresEveryByte) {
    FillRandom(*gTerrain, 1);
    const std::vector<uint8_t> saved = GridBytes(*gTerrain);
    const std::string path = dir.File("a.map");

    headless::ScriptFileDialogAnswers({path.c_str()});
    gEditMode = 2;
    MapSave();
    EXPECT_EQ(gEditMode, 0);
    EXPECT_EQ(headless::FileDialogCalls(), 1);

    const std::vector<uint8_t> file = testimg::ReadAll(path);
    ASSERT_EQ(file.size(), kMap256Bytes);
    EXPECT_EQ(ReadLeS32(file.data()), 256);
    EXPECT_EQ(ReadLeS32(file.data() + 4), 256);
    // (0,0) first, (1,0) second, (0,1) after the whole first row; each the
    // vertex's bytes as they are in memory.
    auto record = [&](size_t offset) {
        return std::vector<uint8_t>(file.begin() + offset, file.begin() + offset + 68);
    };
    EXPECT_EQ(record(8), VertexBytes(gTerrain->columns[0][0]));
    EXPECT_EQ(record(8 + 68), VertexBytes(gTerrain->columns[1][0]));
    EXPECT_EQ(record(17484), VertexBytes(gTerrain->columns[0][1]));
    EXPECT_EQ(record(kMap256Bytes - 68), VertexBytes(gTerrain->columns[256][256]));
    // Load into a grid of another size and other content.
    ASSERT_TRUE(gTerrain->Resize(10, 20));
    FillRandom(*gTerrain, 2);
    headless::ScriptFileDialogAnswers({path.c_str()});
    gEditMode = 1;
    MapLoad();
    EXPECT_EQ(gEditMode, 0);
    EXPECT_EQ(gTerrain->width, 256);
    EXPECT_EQ(gTerrain->height, 256);
    EXPECT_EQ(GridBytes(*gTerrain), saved);
}

TEST_F(MapFileTest, CancelledDialogsChangeNothingAndRestoreInputState) {
    FillRandom(*gTerrain, 3);
    const std::vector<uint8_t> before = GridBytes(*gTerrain);
    const int cursorBefore = headless::CursorCount();

    for (int request : {1, 2}) {
        gWindow->leftButton = 1;
        gWindow->rightButton = 1;
        headless::ScriptFileDialogAnswers({nullptr});
        gEditMode = request;
        if (request == 1) MapLoad(); else MapSave();
        EXPECT_EQ(headless::FileDialogCalls(), 1);
        EXPECT_EQ(gEditMode, 0);
        EXPECT_FALSE(gWindow->GetLeftButton());
        EXPECT_FALSE(gWindow->GetRightButton());
        EXPECT_EQ(headless::CursorCount(), cursorBefore);
    }
    EXPECT_EQ(GridBytes(*gTerrain), before);
    EXPECT_EQ(FilesIn(dir.Path()), 0u);

    // A chosen file that does not exist is the same as a cancel.
    const std::string missing = dir.File("missing.map");
    headless::ScriptFileDialogAnswers({missing.c_str()});
    gEditMode = 1;
    MapLoad();
    EXPECT_EQ(gEditMode, 0);
    EXPECT_EQ(GridBytes(*gTerrain), before);
}

TEST_F(MapFileTest, SaveReplacesAnExistingFileAndLeavesNothingElse) {
    const std::string path = dir.File("old.map");
    testimg::WriteAll(path, std::vector<uint8_t>(kMap256Bytes + 1000, 0xAB));
    FillRandom(*gTerrain, 4);

    headless::ScriptFileDialogAnswers({path.c_str()});
    MapSave();
    const std::vector<uint8_t> file = testimg::ReadAll(path);
    ASSERT_EQ(file.size(), kMap256Bytes);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 8, file.end()), GridBytes(*gTerrain));
    EXPECT_EQ(FilesIn(dir.Path()), 1u);  // no temporary file left behind
}

TEST_F(MapFileTest, FailedSaveKeepsTheOldFileAndRemovesItsTemporary) {
    const std::string path = dir.File("keep.map");
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    testimg::WriteAll(path, old);

    // The file system refuses to grow a file past 1 MB, so the write of the
    // 4.5 MB map fails part way.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteMapFile(path.c_str(), *gTerrain);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(testimg::ReadAll(path), old);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);

    // A target that cannot be replaced (a folder) fails the same way.
    const std::string folder = dir.File("folder.map");
    std::filesystem::create_directory(folder);
    testimg::WriteAll(folder + "/inside", old);
    EXPECT_FALSE(WriteMapFile(folder.c_str(), *gTerrain));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(FilesIn(dir.Path()), 2u);
}

TEST_F(MapFileTest, ShortFilesKeepInitialValuesBeyondTheirEnd) {
    const std::string path = dir.File("short.map");

    // Header only: a full 256 x 256 grid of fresh vertices.
    FillRandom(*gTerrain, 5);
    testimg::WriteAll(path, Header(256, 256));
    ASSERT_TRUE(ReadMapFile(path.c_str(), *gTerrain));
    EXPECT_EQ(gTerrain->width, 256);
    EXPECT_EQ(gTerrain->height, 256);
    EXPECT_TRUE(AllInitial(*gTerrain));

    // One whole record, then one cut inside its height field: the cut record
    // takes the file's 42 bytes and keeps its initial bytes 42..67.
    TerrainModel source(nullptr, 2, 1);
    FillRandom(source, 6);
    std::vector<uint8_t> bytes = Header(2, 1);
    std::vector<uint8_t> r0 = VertexBytes(source.columns[0][0]);
    std::vector<uint8_t> r1 = VertexBytes(source.columns[1][0]);
    bytes.insert(bytes.end(), r0.begin(), r0.end());
    bytes.insert(bytes.end(), r1.begin(), r1.begin() + 42);
    testimg::WriteAll(path, bytes);
    FillRandom(*gTerrain, 7);
    ASSERT_TRUE(ReadMapFile(path.c_str(), *gTerrain));
    EXPECT_EQ(gTerrain->width, 2);
    EXPECT_EQ(gTerrain->height, 1);
    EXPECT_EQ(VertexBytes(gTerrain->columns[0][0]), r0);
    std::vector<uint8_t> cut = VertexBytes(gTerrain->columns[1][0]);
    EXPECT_TRUE(std::equal(r1.begin(), r1.begin() + 42, cut.begin()));
    EXPECT_EQ(std::vector<uint8_t>(cut.begin() + 42, cut.end()), std::vector<uint8_t>(26, 0));
    TerrainVertex* rest[] = {&gTerrain->columns[2][0], &gTerrain->columns[0][1],
                             &gTerrain->columns[1][1], &gTerrain->columns[2][1]};
    for (TerrainVertex* v : rest) {
        EXPECT_EQ(v->ground, 'e');
        EXPECT_EQ(v->height, 0.0f);
    }
    // Loaded through the dialog, the same file says how much it lacks; a
    // whole file says nothing.
    for (const bool whole : {false, true}) {
        if (whole) {
            ASSERT_TRUE(WriteMapFile(path.c_str(), source));
        }
        Restart();
        headless::ScriptFileDialogAnswers({path.c_str()});
        EXPECT_TRUE(MapLoad().done);
        ASSERT_EQ(headless::MessageBoxes().size(), whole ? 0u : 1u);
        if (!whole) {
            EXPECT_EQ(headless::MessageBoxes()[0].text,
                      "Die Karte ist unvollst\xC3\xA4ndig: 5 von 6 Feldern fehlen.");
            EXPECT_EQ(headless::MessageBoxes()[0].title, "Warnung");
        }
    }

    // Six bytes: the width is there, the height is not and counts as 0.
    testimg::WriteAll(path, {3, 0, 0, 0, 9, 9});
    ASSERT_TRUE(ReadMapFile(path.c_str(), *gTerrain));
    EXPECT_EQ(gTerrain->width, 3);
    EXPECT_EQ(gTerrain->height, 0);
    EXPECT_TRUE(AllInitial(*gTerrain));
}

TEST_F(MapFileTest, NegativeOrAbsurdHeadersLeaveTheGridUntouched) {
    FillRandom(*gTerrain, 8);
    const std::vector<uint8_t> before = GridBytes(*gTerrain);
    TerrainVertex** columns = gTerrain->columns;
    const std::string path = dir.File("bad.map");

    const std::pair<int32_t, int32_t> bad[] = {{100000, 100000}, {-1, 5},  {5, -1},
                                               {INT_MIN, INT_MIN}, {4097, 1}, {1, 4097}};
    for (const auto& header : bad) {
        testimg::WriteAll(path, Header(header.first, header.second));
        EXPECT_FALSE(ReadMapFile(path.c_str(), *gTerrain));
        EXPECT_EQ(gTerrain->columns, columns) << header.first << " x " << header.second;
        EXPECT_EQ(gTerrain->width, 256);
        EXPECT_EQ(gTerrain->height, 256);
    }
    EXPECT_EQ(GridBytes(*gTerrain), before);

    // The largest accepted side still loads.
    testimg::WriteAll(path, Header(kMaxMapCellsPerSide, 0));
    EXPECT_TRUE(ReadMapFile(path.c_str(), *gTerrain));
    EXPECT_EQ(gTerrain->width, kMaxMapCellsPerSide);
    EXPECT_EQ(gTerrain->height, 0);
}

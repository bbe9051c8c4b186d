#include "base/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <nlohmann/json.hpp>

#include "testing/scratch_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

struct FileSettingsStoreTest : ::testing::Test {
  FileSettingsStore Store() {
    return FileSettingsStore(dir / "settings.json",
                             [this](const std::string& p) { problems.push_back(p); });
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::vector<std::string> problems;
};

TEST_F(FileSettingsStoreTest, MissingFileAndMissingValuesReadAsNothing) {
  auto store = Store();
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
  EXPECT_TRUE(problems.empty());
}

TEST_F(FileSettingsStoreTest, ValuesRoundTripAcrossStoresWithTheirWidth) {
  {
    auto store = Store();
    EXPECT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", -3));
    EXPECT_TRUE(store.WriteByte(kSelectPrinterKey, "tclCond", 7));
    EXPECT_TRUE(store.WriteInt32(kProgramKey, "Port", 1));
  }
  auto store = Store();  // a second process sees what the first wrote
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), -3);
  EXPECT_EQ(store.ReadByte(kSelectPrinterKey, "tclCond"), 7);
  EXPECT_EQ(store.ReadInt32(kProgramKey, "Port"), 1);
  // A value of another width counts as missing, so the caller keeps its default.
  EXPECT_FALSE(store.ReadByte(kSelectPrinterKey, "MS1"));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "tclCond"));
  // The bytes are stored little-endian as hex.
  std::ifstream in(dir / "settings.json");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("\"fdffffff\""), std::string::npos) << text;
}

TEST_F(FileSettingsStoreTest, CorruptFileIsReportedOnceReadAsEmptyAndKeptAtTheNextWrite) {
  std::ofstream(dir / "settings.json") << "{ not json";
  auto store = Store();
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS2"));
  EXPECT_EQ(problems.size(), 1u);
  EXPECT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", 5));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), 5);
  EXPECT_TRUE(fs::exists(dir / "settings.json.corrupt"));
}

TEST_F(FileSettingsStoreTest, OddValuesInAValidFileNeverCrashTheReader) {
  std::ofstream(dir / "settings.json")
      << R"({"SOFTWARE\\CorvidFT\\SelectPrinter": {"MS1": "zz", "MS2": 5, "VSD": "0a000000"},
            "other": [1, 2]})";
  auto store = Store();
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS2"));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "VSD"), 10);
}

// A value the readers cannot use is told once, by name, and read as missing, so the default
// stays what it always was.
TEST_F(FileSettingsStoreTest, UnusableValuesAreToldOnceEachByNameAndKeepTheirDefault) {
  const std::string digits(200'000, '7');
  std::ofstream(dir / "settings.json")
      << R"({"SOFTWARE\\CorvidFT\\SelectPrinter": {"TOF": "zz", "MS1": ")" << digits
      << R"(", "MS2": 5, "VSD": "0a000000", "tclCond": "0300"}})";
  auto store = Store();
  for (int round = 0; round < 3; ++round) {
    EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "TOF"));
    EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
    EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS2"));
    EXPECT_FALSE(store.ReadByte(kSelectPrinterKey, "tclCond"));
    EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "VSD"), 10);
    EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "ECN"));  // missing: nothing to tell
  }
  const std::string file = "settings file " + (dir / "settings.json").string() + ": ";
  const std::string key = " under SOFTWARE\\CorvidFT\\SelectPrinter ";
  EXPECT_THAT(problems,
              ::testing::ElementsAre(
                  file + "\"TOF\"" + key + "is \"zz\", not hex digits in quotes; using its default",
                  file + "\"MS1\"" + key + "holds 100000 bytes, not 4; using its default",
                  file + "\"MS2\"" + key + "is 5, not hex digits in quotes; using its default",
                  file + "\"tclCond\"" + key + "holds 2 bytes, not 1; using its default"));
  // Reads inside an update tell it as well, and still only once.
  problems.clear();
  EXPECT_TRUE(store.Update([](SettingsStore& s) {
    s.WriteInt32(kSelectPrinterKey, "ECN", s.ReadInt32(kSelectPrinterKey, "VSD").value_or(0));
    EXPECT_FALSE(s.ReadByte(kSelectPrinterKey, "VSD"));
  }));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_THAT(problems[0], ::testing::HasSubstr("\"VSD\"" + key + "holds 4 bytes, not 1"));
  // A long value that is no hex at all is shown cut short.
  std::ofstream(dir / "settings.json")
      << R"({"SOFTWARE\\CorvidFT\\SelectPrinter": {"ECN": ")" << digits << "x\"}}";
  problems.clear();
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "ECN"));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_THAT(problems[0], ::testing::HasSubstr("is \"77777777777777777777777... (200003 "
                                                "characters), not hex digits in quotes"));
}

// A value the store cannot read stays in the file, as written, through the writes of other values;
// a write of that very value replaces it.
TEST_F(FileSettingsStoreTest, ValuesWrittenByHandSurviveTheWritesOfOthers) {
  std::ofstream(dir / "settings.json")
      << R"({"SOFTWARE\\OrielTarvo\\TarvoDlg": {"RecordsUrl": "postgresql://line@db/tarvo"},)"
      << R"( "SOFTWARE\\CorvidFT\\SelectPrinter": {"TOF": "zz", "MS1": 7}})";
  auto store = Store();
  ASSERT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS2", 3));
  ASSERT_TRUE(store.WriteInt32(kSelectPrinterKey, "TOF", -25));
  std::ifstream in(dir / "settings.json");
  const nlohmann::json doc = nlohmann::json::parse(in);
  EXPECT_EQ(doc[std::string(kProgramKey)]["RecordsUrl"], "postgresql://line@db/tarvo");
  EXPECT_EQ(doc[std::string(kSelectPrinterKey)]["MS1"], 7);
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "TOF"), -25);
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS2"), 3);
}

TEST_F(FileSettingsStoreTest, WriteThatCannotReachTheFileFailsWithoutHarm) {
  std::ofstream(dir / "blocker") << "a file where the folder should be";
  FileSettingsStore store(dir / "blocker" / "settings.json", [](const std::string&) {});
  EXPECT_FALSE(store.WriteInt32(kSelectPrinterKey, "MS1", 1));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
}

TEST_F(FileSettingsStoreTest, UpdateReadsItsOwnWritesAndStoresThemTogether) {
  auto store = Store();
  ASSERT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", 1));
  EXPECT_TRUE(store.Update([](SettingsStore& s) {
    EXPECT_EQ(s.ReadInt32(kSelectPrinterKey, "MS1"), 1);
    s.WriteInt32(kSelectPrinterKey, "MS1", 2);
    EXPECT_EQ(s.ReadInt32(kSelectPrinterKey, "MS1"), 2);
    s.WriteByte(kSelectPrinterKey, "tclCond", 9);
    s.WriteInt32(kProgramKey, "Port", 4);
  }));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), 2);
  EXPECT_EQ(store.ReadByte(kSelectPrinterKey, "tclCond"), 9);
  EXPECT_EQ(store.ReadInt32(kProgramKey, "Port"), 4);
  EXPECT_TRUE(fs::exists(store.lock_path()));
  // Only the store and its lock are left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(FileSettingsStoreTest, StoreThatCannotBeWrittenIsReportedAtEveryWrite) {
  std::ofstream(dir / "blocker") << "a file where the folder should be";
  FileSettingsStore store(dir / "blocker" / "settings.json",
                          [this](const std::string& p) { problems.push_back(p); });
  EXPECT_FALSE(store.Update([](SettingsStore& s) { s.WriteInt32(kSelectPrinterKey, "MS1", 1); }));
  EXPECT_FALSE(store.WriteByte(kSelectPrinterKey, "tclCond", 1));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_THAT(problems[0], ::testing::HasSubstr("cannot be written"));
  EXPECT_THAT(problems[0], ::testing::HasSubstr("Not a directory"));
  // An update that writes nothing needs no write.
  EXPECT_TRUE(Store().Update([](SettingsStore& s) { s.ReadInt32(kSelectPrinterKey, "MS1"); }));
  EXPECT_FALSE(fs::exists(dir / "settings.json"));
}

// Two processes count up one value at once, each also keeping a value of its own: with every
// read-modify-write under the lock, no increment is lost.
TEST_F(FileSettingsStoreTest, WritersInSeveralProcessesLoseNoChange) {
  constexpr int kRounds = 15;
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> children;
  for (int child = 0; child < 2; ++child) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(start[1]);
      char c;
      while (read(start[0], &c, 1) > 0) {
      }  // both begin when the parent closes the pipe
      FileSettingsStore store(dir / "settings.json", [](const std::string&) {});
      bool ok = true;
      for (int i = 1; i <= kRounds; ++i) {
        ok = store.Update([&](SettingsStore& s) {
          s.WriteInt32(kSelectPrinterKey, "count",
                       s.ReadInt32(kSelectPrinterKey, "count").value_or(0) + 1);
          s.WriteInt32(kSelectPrinterKey, child == 0 ? "MS1" : "MS2", i);
        }) && ok;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  close(start[0]);
  close(start[1]);
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto store = Store();
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "count"), 2 * kRounds);
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), kRounds);
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS2"), kRounds);
}

// The names that appear in a folder while it is watched.
class NamesMade {
 public:
  explicit NamesMade(const fs::path& dir) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    inotify_add_watch(fd_, dir.c_str(), IN_CREATE | IN_MOVED_TO);
  }
  ~NamesMade() { close(fd_); }
  std::set<std::string> Take() {
    std::set<std::string> names;
    alignas(inotify_event) char buffer[8192];
    for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
      for (char* at = buffer; at < buffer + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        if (event->len > 0) names.insert(event->name);
        at += sizeof(inotify_event) + event->len;
      }
    }
    return names;
  }

 private:
  int fd_;
};

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// A writer killed at any moment must leave no temporary behind: the new text never has a name
// but the store's own, and no other name ever appears in the folder.
TEST_F(FileSettingsStoreTest, WritesGiveTheNewTextNoNameOfItsOwn) {
  NamesMade watch(dir);
  auto store = Store();
  for (int32_t i = 0; i < 20; ++i) ASSERT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", i));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), 19);
  const std::set<std::string> own = {"settings.json", "settings.json.lock"};
  EXPECT_EQ(watch.Take(), own);
  EXPECT_EQ(Entries(dir), own);
  EXPECT_TRUE(problems.empty());
}

// Writers killed with SIGKILL at whatever point of their write they have come to: the file is
// always whole, and nothing but it and its lock is ever left.
TEST_F(FileSettingsStoreTest, WritersKilledMidWriteLeaveTheFileWholeAndNothingElse) {
  const std::set<std::string> own = {"settings.json", "settings.json.lock"};
  for (int kill_at = 0; kill_at < 24; ++kill_at) {
    int told[2];
    ASSERT_EQ(pipe(told), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(told[0]);
      FileSettingsStore store(dir / "settings.json", [](const std::string&) {});
      for (int32_t i = 0;; ++i) {
        store.Update([&](SettingsStore& s) {
          s.WriteInt32(kSelectPrinterKey, "MS1", i);
          s.WriteInt32(kSelectPrinterKey, "MS2", -i);
        });
        if (write(told[1], "x", 1) != 1) _exit(1);
      }
    }
    close(told[1]);
    char c;
    for (int writes = 0; writes < 1 + kill_at % 5 && read(told[0], &c, 1) == 1; ++writes) {
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(told[0]);
    for (const std::string& name : Entries(dir))
      ASSERT_TRUE(own.contains(name)) << name << " after kill " << kill_at;
    auto store = Store();
    const auto ms1 = store.ReadInt32(kSelectPrinterKey, "MS1");
    ASSERT_TRUE(ms1.has_value()) << "after kill " << kill_at;
    EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS2"), -*ms1);
  }
  EXPECT_TRUE(problems.empty());
}

TEST(MemorySettingsStoreTest, StoresBytesByKeyAndName) {
  MemorySettingsStore store;
  store.WriteByte(kSelectPrinterKey, "unplugA", 24);
  EXPECT_EQ(store.ReadByte(kSelectPrinterKey, "unplugA"), 24);
  EXPECT_FALSE(store.ReadByte(kProgramKey, "unplugA"));
}

}  // namespace
}  // namespace tarvo

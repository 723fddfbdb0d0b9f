// The export step: order of callbacks and pauses, the upload's command
// line and directory, and what every failure leaves behind.
#include "export/export_command.h"

#include <gtest/gtest.h>

#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

const std::string kGoodsPath = "C:\\DANE\\exp.txt";
const std::string kGoods = "TOW;5901234123457;Maka;189;249;12000;5\r\n";
const std::string kRecord = "5901234123457,Maka,2.49,12.000\r\n";
const std::string kKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

struct ExportRun : Till {
  ExportRun() : Till("C:\\Program Files\\ZRB", "C:\\PROGRA~1\\ZRB") {
    platform.files[kGoodsPath] = kGoods;
  }
  HostWord Run(const char* path = kGoodsPath.c_str()) { return Export(path, 42); }
};

TEST(Export, SuccessInOrder) {
  ExportRun r;
  r.host.params["port"] = "2";
  r.host.params["baud"] = "19200";
  EXPECT_EQ(r.Run(), 1);
  const EventLog expected = {
      "param cena",
      "status \nTransakcja w toku...",
      "sleep 4000",
      "open read C:\\DANE\\exp.txt",
      "param maxKod",
      "param timeout",
      "open write C:\\DANE\\a",
      "close C:\\DANE\\exp.txt",
      "close C:\\DANE\\a",
      "reg_open " + kKey,
      "reg_read Binaria",
      "reg_close",
      "param port",
      "param baud",
      "start C:\\PROGRA~1\\ZRB\\DLOOKUP2.EXE a,2,4,1 in C:\\DANE",
      "wait",
      "close_child",
  };
  EXPECT_EQ(r.log, expected);
  EXPECT_EQ(r.platform.files["C:\\DANE\\a"], kRecord);
  EXPECT_EQ(r.platform.files[kGoodsPath], kGoods);
  ASSERT_EQ(r.platform.starts.size(), 1u);
  EXPECT_EQ(r.platform.starts[0].window, WindowState::kDefault);
  EXPECT_EQ(r.platform.open_children, 0);
  for (HostWord handle : r.host.handles_seen) EXPECT_EQ(handle, 42);
  for (HostWord context : r.host.contexts_seen) EXPECT_EQ(context, r.host.context());
}

TEST(Export, SettingsShapeTheRecordAndCommandLine) {
  struct Case {
    std::string cena, max_kod, port, baud;
    std::string record, command;
  } cases[] = {
      {"Cena zak", "13", "COM2", "9600", "5901234123457,Maka,1.89,12.000\r\n",
       "\\DLOOKUP2.EXE a,2,5,1"},
      {"cena det", "20", "3", "115200", kRecord, "\\DLOOKUP2.EXE a,3,1,1"},
      {"", "20 ", "COM10", "57600", kRecord, "\\DLOOKUP2.EXE a,COM10,2,1"},
      {"Cena det", "", "", "38400", kRecord, "\\DLOOKUP2.EXE a,,3,1"},
      {"Cena det", "13", "COM4", "4800", kRecord, "\\DLOOKUP2.EXE a,4,"},
      {"Cena det", "13", "COM1", "", kRecord, "\\DLOOKUP2.EXE a,1,"},
      {"Cena det", "13", "com1", "19200", kRecord, "\\DLOOKUP2.EXE a,com1,4,1"},
  };
  for (const Case& c : cases) {
    ExportRun r;
    r.host.params["cena"] = c.cena;
    r.host.params["maxKod"] = c.max_kod;
    r.host.params["port"] = c.port;
    r.host.params["baud"] = c.baud;
    EXPECT_EQ(r.Run(), 1);
    EXPECT_EQ(r.platform.files["C:\\DANE\\a"], c.record) << c.cena;
    EXPECT_EQ(r.platform.starts.at(0).command_line, "C:\\PROGRA~1\\ZRB" + c.command);
  }
}

TEST(Export, MaxKod20KeepsLongCodes) {
  ExportRun r;
  r.platform.files[kGoodsPath] = "TOW;12345678901234567890;n;1;1;1;1\r\n";
  r.host.params["maxKod"] = "20";
  EXPECT_EQ(r.Run(), 1);
  EXPECT_EQ(r.platform.files["C:\\DANE\\a"], "12345678901234567890,n,0.01,0.001\r\n");
}

TEST(Export, ChildExitCodeAndTimeoutDoNotMatter) {
  ExportRun r;
  r.host.params["timeout"] = "1 min";
  r.platform.child.exit_code = 7;
  r.platform.child.running_queries = 1800;  // a three-minute upload
  EXPECT_EQ(r.Run(), 1);
  EXPECT_TRUE(r.host.errors.empty());
  EXPECT_FALSE(r.platform.terminated);
}

TEST(Export, PathsWithoutADirectory) {
  struct Case {
    std::string goods, lookup, directory;
  } cases[] = {
      {"exp.txt", "a", ""},
      {"\\exp.txt", "a", ""},
      {"D:\\x\\y\\exp.txt", "D:\\x\\y\\a", "D:\\x\\y"},
      // A drive's root, not the host's current folder on that drive.
      {"C:\\exp.txt", "C:\\a", "C:\\"},
      {"\\\\srv\\dane\\exp.txt", "\\\\srv\\dane\\a", "\\\\srv\\dane\\"},
  };
  for (const Case& c : cases) {
    const GoodsPaths p = SplitGoodsPath(c.goods);
    EXPECT_EQ(p.lookup_file, c.lookup) << c.goods;
    EXPECT_EQ(p.directory, c.directory) << c.goods;
    ExportRun r;
    r.platform.files[c.goods] = kGoods;
    EXPECT_EQ(r.Run(c.goods.c_str()), 1);
    EXPECT_EQ(r.platform.files[c.lookup], kRecord);
    EXPECT_EQ(r.platform.starts.at(0).current_directory, c.directory);
  }
}

TEST(Export, LongPathsAndCommandLines) {
  ExportRun r;
  const std::string dir = "C:\\" + std::string(400, 'd');
  r.platform.files[dir + "\\exp.txt"] = kGoods;
  r.host.params["port"] = std::string(99, '7');
  EXPECT_EQ(r.Run((dir + "\\exp.txt").c_str()), 1);
  EXPECT_EQ(r.platform.files[dir + "\\a"], kRecord);
  EXPECT_EQ(r.platform.starts.at(0).command_line,
            "C:\\PROGRA~1\\ZRB\\DLOOKUP2.EXE a," + std::string(99, '7') + ",5,1");
}

const std::string kAbsent = "(absent)";

struct FailureCase {
  const char* name;
  std::function<void(ExportRun&)> arrange;
  std::string error;   // UTF-8
  std::string lookup;  // what the lookup file holds afterwards
  bool started;        // whether a start of the utility was tried
};

TEST(Export, EveryFailureReportedOnceWithWhatItLeaves) {
  const FailureCase cases[] = {
      {"goods missing", [](ExportRun& r) { r.platform.files.erase(kGoodsPath); },
       "Błąd otwarcia pliku \"exp\".", kAbsent, false},
      {"lookup not creatable", [](ExportRun& r) { r.platform.unopenable.insert("C:\\DANE\\a"); },
       "Błąd otwarcia pliku roboczego.", kAbsent, false},
      {"goods fault",
       [](ExportRun& r) { r.platform.files[kGoodsPath] = kGoods + "TOW;9;x;1;1;q;1\r\n"; },
       "[8] Błąd składni pliku \"exp\". - [9] błąd pola ILOŚĆ", kRecord, false},
      {"goods read", [](ExportRun& r) { r.platform.FailAt("read", 1); },
       "Błąd otwarcia pliku \"exp\".", "", false},
      {"lookup write", [](ExportRun& r) { r.platform.FailAt("write", 1); },
       "Błąd zapisu do pliku roboczego.", kRecord.substr(0, kRecord.size() / 2), false},
      {"lookup close", [](ExportRun& r) { r.platform.FailAt("close", 2); },
       "Błąd zapisu do pliku roboczego.", kRecord, false},
      {"key missing", [](ExportRun& r) { r.platform.registry.clear(); }, "Błąd otwarcia rejestru.",
       kRecord, false},
      {"value missing", [](ExportRun& r) { r.platform.registry[kKey].clear(); },
       "Błąd odczytu rejestru.", kRecord, false},
      {"value 230 bytes",
       [](ExportRun& r) { r.platform.registry[kKey]["Binaria"] = std::string(230, 'c'); },
       "Błąd odczytu rejestru.", kRecord, false},
      {"value not a string", [](ExportRun& r) { r.platform.non_string.insert("Binaria"); },
       "Błąd odczytu rejestru.", kRecord, false},
      {"key not closed", [](ExportRun& r) { r.platform.FailAt("reg_close", 1); },
       "Błąd zamknięcia rejestru.", kRecord, false},
      {"utility missing", [](ExportRun& r) { r.platform.FailAt("start", 1); },
       "Błąd uruchomienia driver'a (C:\\PROGRA~1\\ZRBDLOOKUP2.EXE).", kRecord, true},
      {"no short form",
       [](ExportRun& r) {
         r.platform.short_paths.clear();
         r.platform.FailAt("start", 1);
       },
       "Błąd uruchomienia driver'a (C:\\Program Files\\ZRBDLOOKUP2.EXE).", kRecord, true},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRun r;
    r.platform.read_chunk = 4096;
    c.arrange(r);
    const bool had_goods = r.platform.files.count(kGoodsPath) != 0;
    const std::string goods_before = had_goods ? r.platform.files[kGoodsPath] : "";
    EXPECT_EQ(r.Run(), 0);
    EXPECT_EQ(r.host.errors, std::vector<std::string>{Cp1250(c.error)});
    EXPECT_EQ(LastHostCall(r.log), "error " + Cp1250(c.error)) << "the error is the last call";
    const auto lookup = r.platform.files.find("C:\\DANE\\a");
    EXPECT_EQ(lookup == r.platform.files.end() ? kAbsent : lookup->second, c.lookup);
    EXPECT_EQ(r.platform.files.count(kGoodsPath) != 0, had_goods);
    if (had_goods) EXPECT_EQ(r.platform.files[kGoodsPath], goods_before);
    EXPECT_EQ(r.platform.starts.size(), c.started ? 1u : 0u);
    EXPECT_EQ(r.platform.OpenFiles(), 0);
    EXPECT_EQ(r.platform.open_children, 0);
  }
}

TEST(Export, GoodsFileThatIsTheLookupFileIsNeverEmptied) {
  struct Case {
    std::string path;
    std::string stored;  // where the system finds the file: "a" under another spelling
  } cases[] = {
      {"C:\\DANE\\a", ""},
      {"C:\\DANE\\A", ""},
      {"a", ""},
      {"\\a", ""},
      {"C:\\DANE\\a.", "C:\\DANE\\a"},
      {"C:\\DANE\\a ", "C:\\DANE\\a"},
      {"C:\\DANE\\A..", "C:\\DANE\\a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ExportRun r;
    r.platform.files[c.path] = kGoods;
    if (!c.stored.empty()) r.platform.same_file[SplitGoodsPath(c.path).lookup_file] = c.path;
    EXPECT_EQ(r.Run(c.path.c_str()), 0);
    EXPECT_EQ(r.host.errors, std::vector<std::string>{Cp1250("Błąd otwarcia pliku roboczego.")});
    EXPECT_EQ(r.platform.files[c.path], kGoods);
    EXPECT_TRUE(r.platform.starts.empty());
    EXPECT_EQ(r.platform.OpenFiles(), 0);
  }
  // Only the whole name counts, and another file named "a" beside the goods
  // file is replaced as usual.
  ExportRun r;
  r.platform.files["C:\\DANE\\ba"] = kGoods;
  r.platform.files["C:\\DANE\\a"] = "old lookup";
  EXPECT_EQ(r.Run("C:\\DANE\\ba"), 1);
  EXPECT_EQ(r.platform.files["C:\\DANE\\a"], kRecord);
}

TEST(Export, ProgramPathQuotedOnlyWhenItKeepsABlank) {
  struct Case {
    std::string install, short_form, command;
  } cases[] = {
      {"C:\\Program Files\\ZRB", "C:\\PROGRA~1\\ZRB", "C:\\PROGRA~1\\ZRB\\DLOOKUP2.EXE a,1,5,1"},
      {"\\\\serwer\\ZRB Win", "", "\"\\\\serwer\\ZRB Win\\DLOOKUP2.EXE\" a,1,5,1"},
      {"C:\\ZRB", "", "C:\\ZRB\\DLOOKUP2.EXE a,1,5,1"},
  };
  for (const Case& c : cases) {
    ExportRun r;
    r.platform.registry[kKey]["Binaria"] = c.install;
    r.platform.short_paths.clear();
    if (!c.short_form.empty()) r.platform.short_paths[c.install] = c.short_form;
    EXPECT_EQ(r.Run(), 1);
    EXPECT_EQ(r.platform.starts.at(0).command_line, c.command);
  }
}

TEST(Export, GoodsMissingStillAsksEverythingBeforeTheError) {
  ExportRun r;
  r.platform.files.clear();
  EXPECT_EQ(r.Run(), 0);
  EXPECT_EQ(r.log, (EventLog{"param cena", "status \nTransakcja w toku...", "sleep 4000",
                             "open read C:\\DANE\\exp.txt", "param maxKod", "param timeout",
                             "error " + Cp1250("Błąd otwarcia pliku \"exp\".")}));
  EXPECT_EQ(r.platform.clock_ms, 4000u);
}

TEST(Export, NoInstanceOrNoCallbacksTouchesNothing) {
  {
    ExportRun r;
    EXPECT_EQ(ExportGoods(r.platform, nullptr, 1, kGoodsPath.c_str()), 0);
    EXPECT_TRUE(r.log.empty());
  }
  for (HostWord type : {kRegisterParam, kRegisterError}) {
    ExportRun r;
    r.host.Unregister(type);
    EXPECT_EQ(r.Run(), 0);
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(r.platform.files.count("C:\\DANE\\a"), 0u);
  }
  ExportRun r;
  r.host.Unregister(kRegisterStatus);
  EXPECT_EQ(r.Run(), 1);
  EXPECT_TRUE(r.host.statuses.empty());
  EXPECT_EQ(ExportGoods(r.platform, r.host.instance(), 1, nullptr), 0);
}

TEST(Export, HostValueWithoutTerminatorIsCutAt99Bytes) {
  ExportRun r;
  r.host.params["port"] = std::string(100, '5');
  EXPECT_EQ(r.Run(), 1);
  EXPECT_EQ(r.platform.starts.at(0).command_line,
            "C:\\PROGRA~1\\ZRB\\DLOOKUP2.EXE a," + std::string(99, '5') + ",5,1");
}

}  // namespace
}  // namespace kolektor::testing

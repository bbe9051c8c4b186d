#include "line/dashboard.h"

#include <gmock/gmock.h>

#include <thread>

#include "base/hex.h"
#include "line/csv.h"
#include "line/live_hub.h"
#include "model/rom_layout.h"

namespace tarvo::line {
namespace {

Json Step(std::string started, std::string head, int total, int station = 2) {
  const std::string serial = head.empty() ? "" : "S";
  return {{"host", "h"},
          {"station", station},
          {"started", started},
          {"usb_serial", serial},
          {"head_id", head},
          {"total", total},
          {"tof", 0}};
}

TEST(YieldTest, APrinterCountsByItsLastStepAndFirstPassOnlyWithoutAFailure) {
  const Rows steps = {Step("2026-12-08T09:00:00", "A", 1), Step("2026-12-08T09:10:00", "B", 0),
                      Step("2026-12-08T09:20:00", "B", 1), Step("2026-12-08T09:30:00", "C", 1),
                      Step("2026-12-08T09:40:00", "C", 0), Step("2026-12-08T09:50:00", "", 1)};
  const Json y = Yield(steps, "day");
  ASSERT_EQ(y["rows"].size(), 1u);
  const Json& r = y["rows"][0];
  EXPECT_EQ(r["printers"], 3);
  EXPECT_EQ(r["passed"], 2);  // A, and B after its retry
  EXPECT_EQ(r["failed"], 1);  // C
  EXPECT_EQ(r["first_pass"], 1);
  EXPECT_EQ(r["first_pass_yield"], 0.333);
  EXPECT_EQ(r["steps_naming_no_printer"], 1);
}

TEST(YieldTest, CountsByHourMakeTheDayLikeItsSteps) {
  auto counts = [](std::string hour, std::string printer, int steps, int failed, int total) {
    return Json{{"started", hour},    {"host", "h"},    {"station", 1},
                {"printer", printer}, {"steps", steps}, {"failed_steps", failed},
                {"total", total}};
  };
  // A: failed at 09, passed at 10; B: passed at 09, failed at 23; two steps naming no printer.
  const Rows rows = {counts("2026-12-08T09", "A", 3, 1, 0), counts("2026-12-08T09", "B", 2, 0, 1),
                     counts("2026-12-08T09", "", 2, 0, 1), counts("2026-12-08T10", "A", 1, 0, 1),
                     counts("2026-12-08T23", "B", 1, 1, 0)};
  const Json day = Yield(rows, "day")["rows"][0];
  EXPECT_EQ(day["printers"], 2);
  EXPECT_EQ(day["passed"], 1);
  EXPECT_EQ(day["failed"], 1);
  EXPECT_EQ(day["first_pass"], 0);
  EXPECT_EQ(day["steps_naming_no_printer"], 2);
  const Json shifts = Yield(rows, "shift")["rows"];
  ASSERT_EQ(shifts.size(), 2u);
  EXPECT_EQ(shifts[0]["first_pass"], 1);  // B in the early shift
  EXPECT_EQ(shifts[1]["period"], "2026-12-08 night");
  EXPECT_EQ(shifts[1]["failed"], 1);
}

TEST(YieldTest, TheSmallHoursBelongToTheNightShiftOfTheDayBefore) {
  const Rows steps = {Step("2026-12-01T02:00:00", "A", 1), Step("2026-12-31T23:00:00", "B", 1),
                      Step("2027-01-01T05:59:59", "C", 1), Step("2027-01-01T06:00:00", "D", 1),
                      Step("2027-01-01T14:00:00", "E", 1)};
  std::vector<std::string> periods;
  const Json shifts = Yield(steps, "shift");
  for (const Json& r : shifts["rows"]) periods.push_back(r["period"]);
  EXPECT_THAT(periods, ::testing::ElementsAre("2026-11-30 night", "2026-12-31 night",
                                              "2027-01-01 early", "2027-01-01 late"));
  EXPECT_EQ(Yield(steps, "hour")["rows"][0]["period"], "2026-12-01T02:00");
}

TEST(FailuresTest, SlotsMostFirstWithTheirRunningShareAndPrinters) {
  auto failed = [](std::string head, std::vector<std::string> slots) {
    Json s = Step("2026-12-08T09:00:00", head, 0);
    s["slots"] = Json::array();
    for (const std::string& name : slots) s["slots"].push_back({{"name", name}, {"result", 0}});
    s["slots"].push_back({{"name", "CT"}, {"result", 1}});
    return s;
  };
  const Rows steps = {failed("A", {"TOF"}), failed("B", {"Nozzle Check"}),
                      failed("B", {"Nozzle Check"}), failed("C", {"Nozzle Check", "TOF"})};
  const Json f = Failures(steps);
  ASSERT_EQ(f["slots"].size(), 2u);
  EXPECT_EQ(f["slots"][0]["slot"], "Nozzle Check");
  EXPECT_EQ(f["slots"][0]["failures"], 3);
  EXPECT_EQ(f["slots"][0]["printers"], 2);
  EXPECT_EQ(f["slots"][0]["cumulative_share"], 0.6);
  EXPECT_EQ(f["slots"][1]["cumulative_share"], 1.0);
  EXPECT_EQ(FailedPrinters(steps, "TOF")["printers"].size(), 2u);
  EXPECT_TRUE(FailedPrinters(steps, "CT")["printers"].empty());
}

TEST(AdjustmentsTest, TheLastStation2StepOfEachPrinterAndADayOutsideTheLimitsMarked) {
  Rows steps;
  // Nine days of printers at TOF 0 or 1, then a day at 6.
  for (int day = 1; day <= 9; ++day) {
    for (int i = 0; i < 4; ++i) {
      Json s = Step("2026-12-0" + std::to_string(day) + "T09:00:00",
                    "P" + std::to_string(day) + std::to_string(i), 1);
      s["tof"] = i % 2;
      steps.push_back(s);
    }
  }
  Json late = Step("2026-12-10T09:00:00", "X", 1);
  late["tof"] = 6;
  steps.push_back(late);
  Json station1 = Step("2026-12-10T09:00:00", "Y", 1, 1);
  station1["tof"] = 100;
  steps.push_back(station1);
  const Json a = Adjustments(steps);
  EXPECT_EQ(a["values"].size(), 37u);
  int outside = 0;
  for (const Json& c : a["control"]) {
    if (c["field"] != "tof") continue;
    if (c["outside"] == true) {
      ++outside;
      EXPECT_EQ(c["day"], "2026-12-10");
    }
  }
  EXPECT_EQ(outside, 1);
  int counted = 0;
  for (const Json& h : a["histogram"]) {
    if (h["field"] == "tof") counted += h["count"].get<int>();
  }
  EXPECT_EQ(counted, 37);
}

TEST(DotWeightsTest, OutsideByTheRecordsOwnLimits) {
  const Rows m = {{{"kind", "Mono"}, {"average", 40.6}, {"low", 40.7}, {"high", 52.9}},
                  {{"kind", "Mono"}, {"average", 52.9}, {"low", 40.7}, {"high", 52.9}}};
  const Json d = DotWeights(m);
  EXPECT_EQ(d["measurements"][0]["outside"], true);
  EXPECT_EQ(d["measurements"][1]["outside"], false);
  EXPECT_EQ(d["summary"][0]["share_outside"], 0.5);
}

TEST(JournalFieldsTest, ChangedFieldsAndAReadBackThatDiffers) {
  HeadBlock before{}, written{}, read_back{};
  std::copy_n("AB12CD", 6, written.begin() + kHeadIdOffset);
  read_back = written;
  read_back[kMs1AdjustOffset] = 5;
  const Json fields = JournalFields(
      {{"before", ToHex(before)}, {"written", ToHex(written)}, {"read_back", ToHex(read_back)}});
  int changed = 0;
  for (const Json& f : fields) {
    if (f["changed"] == true) {
      ++changed;
      EXPECT_EQ(f["name"], "HeadId");
      EXPECT_EQ(f["written"], "AB12CD");
    }
    if (f["read_back_differs"] == true) {
      EXPECT_EQ(f["name"], "Ms1Adjust");
    }
  }
  EXPECT_EQ(changed, 1);
  // Nothing read before: no before, nothing "changed".
  const Json alone = JournalFields({{"before", ""}, {"written", ToHex(written)}});
  EXPECT_TRUE(alone[0]["before"].is_null());
}

TEST(CsvTest, QuotesEveryFieldAndDisarmsFormulas) {
  const Json rows = Json::array({{{"head", "=HYPERLINK(\"x\")"}, {"n", 3}, {"note", nullptr}},
                                 {{"head", "a,\"b\"\nc"}, {"n", 4}}});
  EXPECT_EQ(Csv(rows),
            "\"head\",\"n\",\"note\"\r\n\"'=HYPERLINK(\"\"x\"\")\",\"3\",\"\"\r\n"
            "\"a,\"\"b\"\"\nc\",\"4\",\"\"\r\n");
  EXPECT_EQ(Csv(Json::array()), "");
}

TEST(LineNowTest, StatesByTheTimeSinceTheLastStep) {
  const auto now = std::chrono::system_clock::from_time_t(1796725878);  // 2026-12-08T10:31:18Z
  const Rows last = {{{"ended_utc", "2026-12-08T10:30:18Z"}, {"total", 1}},
                     {{"ended_utc", "2026-12-08T10:01:18Z"}, {"total", 0}},
                     {{"ended_utc", "2026-12-08T08:00:00Z"}, {"total", 2}},
                     {{"ended_utc", nullptr}, {"total", 2}}};
  const Json n = LineNow(last, now);
  EXPECT_EQ(n["stations"][0]["seconds_since"], 60);
  EXPECT_EQ(n["stations"][0]["state"], "working");
  EXPECT_EQ(n["stations"][0]["result"], "PASS");
  EXPECT_EQ(n["stations"][1]["state"], "idle");
  EXPECT_EQ(n["stations"][1]["result"], "FAIL");
  EXPECT_EQ(n["stations"][2]["state"], "silent");
  EXPECT_EQ(n["stations"][2]["result"], "Testing");
  EXPECT_TRUE(n["stations"][3]["seconds_since"].is_null());
}

TEST(LiveHubTest, AWaiterWakesOnAPublishAndOnClose) {
  LiveHub hub;
  uint64_t seen = 0;
  std::thread waiter([&] { seen = hub.WaitAfter(0, std::chrono::hours(1)); });
  hub.Publish("tarvo_steps");
  waiter.join();
  EXPECT_EQ(seen, 1u);
  EXPECT_EQ(hub.last_table(), "tarvo_steps");
  std::thread closing([&] { hub.WaitAfter(1, std::chrono::hours(1)); });
  hub.Close();
  closing.join();
  EXPECT_TRUE(hub.closed());
}

}  // namespace
}  // namespace tarvo::line

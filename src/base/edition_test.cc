#include "base/edition.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

constexpr ReadExchange kAll[] = {ReadExchange::kTemperature, ReadExchange::kFwVersion,
                                 ReadExchange::kHeadBlock, ReadExchange::kRomImage,
                                 ReadExchange::kMemory};

TEST(EditionTest, TheProgramSendsThePreambleOnlyBeforeACommand) {
  for (ReadExchange exchange : kAll) {
    const PreamblePlacement p = kProgramEdition.preamble(exchange);
    EXPECT_FALSE(p.after_command);
    EXPECT_FALSE(p.after_answer);
    EXPECT_EQ(p.before_command, exchange != ReadExchange::kRomImage);
  }
}

TEST(EditionTest, TheLibrarySendsThePreambleOnlyAfterACommandOrAnswer) {
  for (ReadExchange exchange : kAll) {
    const PreamblePlacement p = kLibraryEdition.preamble(exchange);
    EXPECT_FALSE(p.at(ExchangeStage::kBeforeCommand));
    EXPECT_EQ(p.at(ExchangeStage::kAfterCommand), exchange != ReadExchange::kTemperature);
    EXPECT_EQ(p.at(ExchangeStage::kAfterAnswer),
              exchange == ReadExchange::kRomImage || exchange == ReadExchange::kMemory);
  }
}

}  // namespace
}  // namespace tarvo

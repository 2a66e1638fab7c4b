#include "KitTestSupport.h"

#include <gtest/gtest.h>

using VelquorKit::VelquorParams;

namespace {

TEST(VelquorParams, StartsWithEveryRequiredFieldEmptyAndEveryOptionalFieldAbsent) {
  const VelquorParams params;
  EXPECT_EQ(params.api_key, "");
  EXPECT_EQ(params.zip_code, "");
  EXPECT_EQ(params.udf5, "");
  EXPECT_FALSE(params.timeout_duration.has_value());
  EXPECT_FALSE(params.enable_auto_refund.has_value());
}

TEST(VelquorParams, TheFullInitializerPutsEachLabelledArgumentIntoItsField) {
  const auto params = kit_test::distinctParams();
  const std::vector<std::string> fields = {
      params.api_key, params.order_id, params.hash, params.mode, params.amount, params.name, params.phone,
      params.email, params.return_url, params.description, params.currency, params.country, params.city,
      params.state, params.address_line_1, params.address_line_2, params.udf1, params.udf2, params.udf3,
      params.udf4, params.udf5, params.zip_code};
  for (std::size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i], "a" + std::to_string(i + 1)) << "argument " << i + 1;
  EXPECT_FALSE(params.split_info.has_value());
  EXPECT_FALSE(params.offer_code.has_value());
}

TEST(VelquorParams, KeepsEmptyApartFromAbsentAndValuesCharacterForCharacter) {
  VelquorParams params;
  params.split_info = "";
  EXPECT_TRUE(params.split_info.has_value());
  params.split_info.reset();
  EXPECT_FALSE(params.split_info.has_value());
  params.name = "  Zoë \"Q\" <x>\n";
  EXPECT_EQ(params.name, "  Zoë \"Q\" <x>\n");
}

TEST(VelquorParams, CopiesAreIndependent) {
  auto original = kit_test::distinctParams();
  auto copy = original;
  copy.amount = "changed";
  copy.offer_code = "X";
  EXPECT_EQ(original.amount, "a5");
  EXPECT_FALSE(original.offer_code.has_value());
  original.hash = "changed too";
  EXPECT_EQ(copy.hash, "a3");
}

}  // namespace

// Input an attacker, a broken server or a careless app may hand the kit: it is refused with an
// error or carried through exactly, never a crash, a hang or a leak.
#include "PaymentFormPage.h"

#include "KitTestSupport.h"

#include <gtest/gtest.h>

using namespace velquor::platform;
using VelquorKit::VelquorParams;
using Json = nlohmann::json;

namespace {

std::string requiredDocument(const std::string& nameValueJSON) {
  std::string document = "{";
  for (const auto* key : {"api_key", "order_id", "hash", "amount", "mode", "phone", "email", "currency", "country",
                          "city", "state", "address_line_1", "address_line_2", "zip_code", "return_url",
                          "description", "udf1", "udf2", "udf3", "udf4", "udf5"}) {
    document += "\"" + std::string(key) + "\":\"\",";
  }
  return document + "\"name\":" + nameValueJSON + "}";
}

DecodingError::Kind decodingFailure(const std::string& text) {
  try {
    JSONDecoder().decode<VelquorParams>(text);
  } catch (const DecodingError& error) {
    return error.kind();
  }
  ADD_FAILURE() << "decoded";
  return DecodingError::Kind::typeMismatch;
}

// Depth of a JSON value, counted without recursion.
std::size_t depthOf(const Json& value) {
  std::size_t depth = 0;
  for (const Json* at = &value; at->is_array() && !at->empty(); at = &(*at)[0]) ++depth;
  return depth;
}

TEST(HostileInput, DocumentsNestedAHundredThousandDeepAreDataCorrupted) {
  EXPECT_EQ(decodingFailure(std::string(100'000, '[') + std::string(100'000, ']')), DecodingError::Kind::dataCorrupted);
  EXPECT_EQ(decodingFailure(requiredDocument(std::string(100'000, '['))), DecodingError::Kind::dataCorrupted);
}

TEST(HostileInput, TextThatIsNotUTF8OrHasLoneSurrogatesIsDataCorrupted) {
  EXPECT_EQ(decodingFailure(requiredDocument("\"\xc0\xaf\"")), DecodingError::Kind::dataCorrupted);
  EXPECT_EQ(decodingFailure(requiredDocument("\"\xed\xa0\x80\"")), DecodingError::Kind::dataCorrupted);
  EXPECT_EQ(decodingFailure(requiredDocument(R"("\ud800")")), DecodingError::Kind::dataCorrupted);
  EXPECT_EQ(decodingFailure(requiredDocument(R"("\udfff\ud800")")), DecodingError::Kind::dataCorrupted);
}

TEST(HostileInput, AFiftyMegabyteValueIsDecodedAndPostedWhole) {
  const std::string huge(50u << 20, 'x');
  const auto params = JSONDecoder().decode<VelquorParams>(requiredDocument("\"" + huge + "\""));
  EXPECT_EQ(params.name.size(), huge.size());
  const auto page = VelquorKit::paymentFormPage(params, "https://gw");
  EXPECT_EQ(page.size(), VelquorKit::kPaymentFormFixedLength + 10 + huge.size());
}

TEST(HostileInput, NulBytesInValuesAreKeptByTheCodingAndThePage) {
  const std::string withNul("a\0b\0", 4);
  const auto params = JSONDecoder().decode<VelquorParams>(requiredDocument(R"("a\u0000b\u0000")"));
  EXPECT_EQ(params.name, withNul);
  EXPECT_EQ(JSONDecoder().decode<VelquorParams>(JSONEncoder().encode(params)).name, withNul);
  EXPECT_NE(VelquorKit::paymentFormPage(params, "e").find("value=\"" + withNul + "\"           name=\"name\""),
            std::string::npos);
}

TEST(HostileInput, ValuesThatAreNotUTF8ReachThePageByteForByte) {
  VelquorParams params;
  params.udf1 = "\xff\xfe<\x80";
  EXPECT_NE(VelquorKit::paymentFormPage(params, "e").find("value=\"\xff\xfe&lt;\x80\""), std::string::npos);
}

struct HostileCheckout : ::testing::Test {
  kit_test::Checkout checkout;
  void SetUp() override {
    checkout.launch("https://gw.example/v2/paymentrequest");
    checkout.toolkit.runUntilIdle();
  }
};

// Looks at each body where it lies: copying a 100 000-deep value would recurse as deep.
struct MeasuringDelegate : VelquorKit::VelquorDelegate {
  std::vector<std::size_t> depths;
  std::vector<std::size_t> sizes;
  void didPaymentCompleted(const std::shared_ptr<UIViewController>&, const std::optional<Json>& data) override {
    depths.push_back(depthOf(*data));
    sizes.push_back(data->size());
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>&) override {}
};

// A body nested as deep as this never leaves a real engine's page (and one deeper than 512 is
// dropped by the toolkit); the headless toolkit does the same.
TEST(HostileMessage, AVeryLargeBodyReachesTheDelegateAsItIsAndAFarTooDeepOneNeverArrives) {
  velquor::headless::HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  auto delegate = std::make_shared<MeasuringDelegate>();
  VelquorKit::Velquor::presentVelquorContorller(screen, "", VelquorParams(), delegate);
  toolkit.runUntilIdle();
  Json deep = Json::array();
  for (int level = 0; level < 100'000; ++level) deep = Json::array({std::move(deep)});
  EXPECT_FALSE(toolkit.webViews().back()->postScriptMessage("paymentResponseIos", std::move(deep)));
  Json large = Json::array();
  for (int i = 0; i < 200'000; ++i) large.push_back(std::string(32, 'v'));
  large.push_back(std::string(20u << 20, 'w'));
  EXPECT_TRUE(toolkit.webViews().back()->postScriptMessage("paymentResponseIos", std::move(large)));
  EXPECT_EQ(delegate->depths, (std::vector<std::size_t>{1}));
  EXPECT_EQ(delegate->sizes, (std::vector<std::size_t>{200'001}));
}

TEST_F(HostileCheckout, AThousandMessagesInABurstAllArriveInOrder) {
  for (int i = 0; i < 1000; ++i) checkout.engine()->postScriptMessage("paymentResponseIos", Json{{"seq", i}});
  ASSERT_EQ(checkout.delegate->completed.size(), 1000u);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ((*checkout.delegate->completed[static_cast<std::size_t>(i)])["seq"], i);
}

TEST_F(HostileCheckout, DismissalWhileANavigationIsRunningReleasesEverything) {
  std::weak_ptr<UIViewController> controller = checkout.controller();
  checkout.engine()->startProvisionalNavigation();
  checkout.screen->dismissViewControllerAnimated(true, nullptr);
  // The engine reports the navigation's end after the dismissal began.
  checkout.engine()->finishNavigation();
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(controller.expired());
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
}

// Starts a second checkout from inside its completion call, once directly and once after
// dismissing the first.
struct RelaunchingDelegate : VelquorKit::VelquorDelegate {
  std::shared_ptr<UIViewController> screen;
  bool dismissFirst = false;
  int completed = 0;
  void didPaymentCompleted(const std::shared_ptr<UIViewController>& controller, const std::optional<Json>&) override {
    if (++completed > 1) return;
    auto relaunch = [screen = screen] {
      VelquorKit::Velquor::presentVelquorContorller(screen, "https://second", VelquorParams(),
                                                    std::make_shared<kit_test::RecordingDelegate>());
    };
    if (dismissFirst) {
      controller->dismissViewControllerAnimated(true, relaunch);
    } else {
      relaunch();
    }
  }
  void didPaymentCanceled(const std::shared_ptr<UIViewController>&) override {}
};

TEST(HostileDelegate, StartingASecondCheckoutWhileTheFirstIsShownPresentsNothingMore) {
  velquor::headless::HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  auto delegate = std::make_shared<RelaunchingDelegate>();
  delegate->screen = screen;
  VelquorKit::Velquor::presentVelquorContorller(screen, "https://first", VelquorParams(), delegate);
  toolkit.runUntilIdle();
  auto first = screen->presentedViewController();
  toolkit.webViews().back()->postScriptMessage("paymentResponseIos", Json("paid"));
  toolkit.runUntilIdle();
  EXPECT_EQ(screen->presentedViewController(), first);
  EXPECT_EQ(toolkit.webViews().size(), 1u) << "the refused checkout let go of its web view";
  delegate->screen.reset();
}

TEST(HostileDelegate, StartingASecondCheckoutOnceTheFirstIsDismissedShowsIt) {
  velquor::headless::HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  auto delegate = std::make_shared<RelaunchingDelegate>();
  delegate->screen = screen;
  delegate->dismissFirst = true;
  VelquorKit::Velquor::presentVelquorContorller(screen, "https://first", VelquorParams(), delegate);
  toolkit.runUntilIdle();
  std::weak_ptr<UIViewController> first = screen->presentedViewController();
  toolkit.webViews().back()->postScriptMessage("paymentResponseIos", Json("paid"));
  delegate.reset();
  toolkit.runUntilIdle();
  EXPECT_TRUE(first.expired());
  ASSERT_NE(screen->presentedViewController(), nullptr);
  ASSERT_EQ(toolkit.webViews().size(), 1u);
  EXPECT_TRUE(toolkit.webViews().back()->loads().at(0).html.starts_with("<form action=\"https://second\""));
}

}  // namespace

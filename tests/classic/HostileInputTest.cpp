// Input an attacker, a broken server or a careless app may hand the classic kit: refused with an
// error or carried through exactly, never a crash, a hang or a leak.
#include "ClassicTestSupport.h"

#include <gtest/gtest.h>

using namespace velquor::platform;
using namespace VelquorClassic;
using Json = nlohmann::json;

namespace {

std::shared_ptr<VelquorParams> fromData(const NSData& data, std::shared_ptr<NSError>& error) {
  return VelquorParamsFromData(data, &error);
}

std::size_t depthOf(const Json& value) {
  std::size_t depth = 0;
  for (const Json* at = &value; at->is_array() && !at->empty(); at = &(*at)[0]) ++depth;
  return depth;
}

TEST(HostileInput, DocumentsNestedAHundredThousandDeepAreParseErrorsInEveryEncoding) {
  const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
  for (const auto encoding : {NSUTF8StringEncoding, NSUTF16LittleEndianStringEncoding, NSUTF32BigEndianStringEncoding}) {
    std::shared_ptr<NSError> error;
    EXPECT_EQ(VelquorParamsFromJSON(deep, encoding, &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
    EXPECT_EQ(error->code(), 3840);
  }
}

TEST(HostileInput, BytesThatAreNotUTF8AndLoneSurrogatesAreParseErrors) {
  for (const NSData& data : {NSData("{\"name\":\"\xc0\xaf\"}"), NSData("{\"name\":\"\xed\xa0\x80\"}"),
                             NSData(R"({"name":"\ud800"})"), NSData(R"({"name":"\udc00\ud800"})")}) {
    std::shared_ptr<NSError> error;
    EXPECT_EQ(fromData(data, error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), 3840);
  }
}

TEST(HostileInput, AFiftyMegabyteValueIsReadWrittenAndPostedWhole) {
  const std::string huge(50u << 20, 'x');
  std::shared_ptr<NSError> error;
  auto params = fromData("{\"name\":\"" + huge + "\"}", error);
  ASSERT_NE(params, nullptr);
  EXPECT_EQ(params->name()->get_ref<const std::string&>().size(), huge.size());
  const auto data = VelquorParamsToData(params, &error);
  ASSERT_TRUE(data.has_value());
  EXPECT_GT(data->size(), huge.size());

  auto controller = std::make_shared<VelquorViewController>();
  controller->setUrl("https://gw");
  EXPECT_EQ(controller->getHtlmForm(params).size(), 2232 + 10 + huge.size());
}

TEST(HostileInput, NulBytesInValuesAreKeptByTheJSONFunctionsAndThePage) {
  std::shared_ptr<NSError> error;
  auto params = fromData(R"({"name":"a\u0000b"})", error);
  ASSERT_NE(params, nullptr);
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(*params->name(), withNul);
  auto again = fromData(*VelquorParamsToData(params, &error), error);
  EXPECT_EQ(*again->name(), withNul);
  auto controller = std::make_shared<VelquorViewController>();
  controller->setUrl("e");
  EXPECT_NE(controller->getHtlmForm(params).find("value=\"" + withNul + "\"   name=\"name\""), std::string::npos);
}

struct MeasuringDelegate : VelquorDelegate {
  std::vector<std::size_t> depths;
  std::vector<std::size_t> sizes;
  void didPaymentCompleted(const std::shared_ptr<VelquorViewController>&, const std::optional<Json>& data) override {
    depths.push_back(depthOf(*data));
    sizes.push_back(data->size());
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorViewController>&) override {}
};

// A body nested as deep as this never leaves a real engine's page (and one deeper than 512 is
// dropped by the toolkit); the headless toolkit does the same.
TEST(HostileMessage, AVeryLargeBodyReachesTheDelegateAsItIsAndAFarTooDeepOneNeverArrives) {
  velquor::headless::HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  auto delegate = std::make_shared<MeasuringDelegate>();
  Velquor::presentVelquorContorller(screen, delegate, std::make_shared<VelquorParams>());
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

TEST(HostileMessage, AThousandMessagesInABurstAllArriveInOrder) {
  classic_test::Checkout checkout;
  checkout.start();
  for (int i = 0; i < 1000; ++i) checkout.engine()->postScriptMessage("paymentResponseIos", Json{{"seq", i}});
  ASSERT_EQ(checkout.delegate->completed.size(), 1000u);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ((*checkout.delegate->completed[static_cast<std::size_t>(i)])["seq"], i);
}

TEST(HostileMessage, DismissalWhileANavigationIsRunningReleasesEverything) {
  classic_test::Checkout checkout;
  checkout.start();
  std::weak_ptr<UIViewController> controller = checkout.controller();
  checkout.engine()->startProvisionalNavigation();
  checkout.screen->dismissViewControllerAnimated(true, nullptr);
  checkout.engine()->finishNavigation();
  checkout.toolkit.runUntilIdle();
  EXPECT_TRUE(controller.expired());
  EXPECT_TRUE(checkout.toolkit.webViews().empty());
}

// Starts a second checkout from inside its completion call: at once, or once the first is dismissed.
struct RelaunchingDelegate : VelquorDelegate, std::enable_shared_from_this<RelaunchingDelegate> {
  std::shared_ptr<UIViewController> screen;
  bool dismissFirst = false;
  int completed = 0;
  void didPaymentCompleted(const std::shared_ptr<VelquorViewController>& controller, const std::optional<Json>&) override {
    if (++completed > 1) return;
    auto relaunch = [screen = screen, self = shared_from_this()] {
      Velquor::presentVelquorContorller(screen, std::string("https://second"), self, std::make_shared<VelquorParams>());
    };
    if (dismissFirst) {
      controller->dismissViewControllerAnimated(true, relaunch);
    } else {
      relaunch();
    }
  }
  void didPaymentCanceled(const std::shared_ptr<VelquorViewController>&) override {}
};

TEST(HostileDelegate, ASecondCheckoutStartsOnlyOnceTheFirstIsDismissed) {
  for (const bool dismissFirst : {false, true}) {
    velquor::headless::HeadlessToolkit toolkit;
    auto screen = toolkit.makeAppScreen();
    auto delegate = std::make_shared<RelaunchingDelegate>();
    delegate->screen = screen;
    delegate->dismissFirst = dismissFirst;
    Velquor::presentVelquorContorller(screen, std::string("https://first"), delegate, std::make_shared<VelquorParams>());
    toolkit.runUntilIdle();
    std::weak_ptr<UIViewController> first = screen->presentedViewController();
    toolkit.webViews().back()->postScriptMessage("paymentResponseIos", Json("paid"));
    toolkit.runUntilIdle();
    ASSERT_EQ(toolkit.webViews().size(), 1u) << dismissFirst;
    if (dismissFirst) {
      EXPECT_TRUE(first.expired());
      EXPECT_TRUE(toolkit.webViews().back()->loads().at(0).html.starts_with("<form action=\"https://second\""));
    } else {
      EXPECT_EQ(screen->presentedViewController(), first.lock());
    }
    delegate->screen.reset();
  }
}

}  // namespace

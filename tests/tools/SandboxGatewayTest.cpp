#include "SandboxGateway.h"
#include "SandboxRecorder.h"
#include "SandboxTestSupport.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <thread>

using velquor::sandbox::AutoResult;
using velquor::sandbox::FormFields;
using velquor::sandbox::ReceivedRequest;
using velquor::sandbox::SandboxError;
using velquor::sandbox::SandboxGateway;
using velquor::sandbox::SandboxOptions;
using velquor_testing::SandboxRecorder;
using namespace sandbox_test;
using namespace std::chrono_literals;

namespace {

const std::string kPath(SandboxGateway::kPath);
const std::string kFormType = "application/x-www-form-urlencoded";

std::string encode(const FormFields& fields) {
  std::string body;
  for (const auto& [name, value] : fields) {
    if (!body.empty()) body.push_back('&');
    body += httplib::detail::encode_query_param(name) + '=' + httplib::detail::encode_query_param(value);
  }
  return body;
}

SandboxOptions recordingInto(SandboxRecorder& recorder) {
  SandboxOptions options;
  options.onRequest = recorder.callback();
  return options;
}

httplib::Result post(const SandboxGateway& gateway, const std::string& body, const std::string& userAgent = "test") {
  httplib::Client client(std::string(SandboxGateway::kHost), gateway.port());
  return client.Post(kPath, {{"User-Agent", userAgent}}, body, kFormType);
}

bool connects(const char* address, std::uint16_t port) {
  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  ::inet_pton(AF_INET, address, &target.sin_addr);
  const bool connected = ::connect(sock, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == 0;
  ::close(sock);
  return connected;
}

// The local addresses of the listening TCP sockets on `port`, as /proc/net/tcp{,6} write them.
std::set<std::string> listeningAddresses(std::uint16_t port) {
  std::set<std::string> addresses;
  char portHex[8];
  std::snprintf(portHex, sizeof(portHex), "%04X", port);
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::ifstream file(table);
    std::string line;
    std::getline(file, line);
    while (std::getline(file, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state;
      fields >> slot >> local >> remote >> state;
      const auto colon = local.rfind(':');
      if (state == "0A" && local.substr(colon + 1) == portHex) addresses.insert(local.substr(0, colon));
    }
  }
  return addresses;
}

TEST(SandboxGateway, AnswersARealPostWithThePageAndTellsFieldsBodyAndUserAgent) {
  SandboxRecorder recorder;
  SandboxGateway gateway(recordingInto(recorder));
  auto fields = completeFields();
  setField(fields, "order_id", "A&B <\"1\">");
  setField(fields, "name", "J\xC3\xBCrgen O'Neil");
  fields.emplace_back("udf1", "again");
  const auto body = encode(fields);
  const auto before = std::chrono::steady_clock::now();
  const auto result = post(gateway, body, "Velquor-iOS-SDK");
  const auto after = std::chrono::steady_clock::now();
  ASSERT_TRUE(result) << httplib::to_string(result.error());
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(result->body.find("<dd id=\"order_id\">A&amp;B &lt;&quot;1&quot;&gt;</dd>"), std::string::npos);

  const auto requests = recorder.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(gateway.requestCount(), 1u);
  const auto& recorded = requests[0];
  EXPECT_EQ(recorded.fields, fields);
  EXPECT_EQ(recorded.body, body);
  EXPECT_EQ(recorded.userAgent, "Velquor-iOS-SDK");
  EXPECT_GE(recorded.receivedAt, before);
  EXPECT_LE(recorded.receivedAt, after);
  const auto results = embeddedResults(result->body);
  EXPECT_EQ(results["pay"]["status"], "success");
  EXPECT_EQ(results["pay"]["transaction_id"], recorded.transactionId);
  EXPECT_EQ(recorded.transactionId.rfind("sbx_", 0), 0u);
}

TEST(SandboxGateway, GivesEveryRequestItsOwnTransactionIdAndTellsOfConcurrentPosts) {
  SandboxRecorder recorder;
  SandboxGateway gateway(recordingInto(recorder));
  std::vector<std::thread> clients;
  for (int i = 0; i < 8; ++i) {
    clients.emplace_back([&gateway, i] { post(gateway, "order_id=" + std::to_string(i)); });
  }
  for (auto& client : clients) client.join();
  const auto requests = recorder.requests();
  ASSERT_EQ(requests.size(), 8u);
  EXPECT_EQ(gateway.requestCount(), 8u);
  std::set<std::string> ids, orders;
  for (const auto& request : requests) {
    ids.insert(request.transactionId);
    orders.insert(request.fields.at(0).second);
  }
  EXPECT_EQ(ids.size(), 8u);
  EXPECT_EQ(orders.size(), 8u);
}

TEST(SandboxGateway, MissingRequiredFieldsGiveAFailureWhicheverButtonAndInAutoMode) {
  SandboxOptions options;
  options.autoResult = AutoResult::success;
  SandboxGateway gateway(options);
  const auto result = post(gateway, "order_id=1&amount=5&api_key=k");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_NE(result->body.find("<li>hash</li>"), std::string::npos);
  EXPECT_EQ(result->body.find("<li>api_key</li>"), std::string::npos);
  const auto results = embeddedResults(result->body);
  EXPECT_EQ(results["pay"]["status"], "failure");
  EXPECT_EQ(results["decline"]["status"], "failure");
  EXPECT_EQ(results["pay"]["missing"].size(), 19u);
  EXPECT_NE(result->body.find("postResult(\"pay\"); });"), std::string::npos);
}

TEST(SandboxGateway, TellsTheCallbackOfEachRequestInOrderSoThatARecorderCanWaitForTheNth) {
  std::mutex mutex;
  std::vector<std::string> seen;
  SandboxRecorder recorder;
  SandboxOptions options;
  options.onRequest = recorder.callback([&](const ReceivedRequest& request) {
    std::lock_guard lock(mutex);
    seen.push_back(request.body);
  });
  SandboxGateway gateway(options);
  EXPECT_FALSE(recorder.waitForRequest(1, 20ms));
  EXPECT_THROW(recorder.waitForRequest(0, 20ms), std::invalid_argument);
  std::thread client([&] {
    post(gateway, "a=1");
    post(gateway, "a=2");
  });
  const auto second = recorder.waitForRequest(2, 10s);
  client.join();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->body, "a=2");
  EXPECT_EQ(recorder.waitForRequest(1, 0ms)->body, "a=1");
  EXPECT_EQ(gateway.requestCount(), 2u);
  std::lock_guard lock(mutex);
  EXPECT_EQ(seen, (std::vector<std::string>{"a=1", "a=2"}));
}

TEST(SandboxGateway, ARecorderKeepsOnlyTheLatestRequestsButCountsThemAll) {
  SandboxRecorder recorder(2);
  SandboxGateway gateway(recordingInto(recorder));
  for (const char* body : {"a=1", "a=2", "a=3"}) ASSERT_TRUE(post(gateway, body));
  EXPECT_EQ(recorder.count(), 3u);
  const auto kept = recorder.requests();
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].body, "a=2");
  EXPECT_EQ(kept[1].body, "a=3");
  EXPECT_FALSE(recorder.waitForRequest(1, 0ms)) << "no longer kept";
  EXPECT_EQ(recorder.waitForRequest(3, 0ms)->body, "a=3");
}

TEST(SandboxGateway, RefusesBodiesOverOneMebibyteWith413AndRecordsNothing) {
  SandboxGateway gateway;
  const std::string limit = "a=" + std::string(SandboxGateway::kMaximumBodyBytes - 2, 'x');
  const auto accepted = post(gateway, limit);
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->status, 200);

  const auto refused = post(gateway, limit + "x");
  ASSERT_TRUE(refused) << httplib::to_string(refused.error());
  EXPECT_EQ(refused->status, 413);

  // Without a declared length (chunked), reading stops at the limit: the client sees the 413, or,
  // when it is still writing as the server closes, a connection that ends early.
  httplib::Client client(std::string(SandboxGateway::kHost), gateway.port());
  const auto chunked = client.Post(
      kPath,
      [](std::size_t offset, httplib::DataSink& sink) {
        if (offset >= 2 * SandboxGateway::kMaximumBodyBytes) {
          sink.done();
          return true;
        }
        const std::string piece(64 * 1024, 'y');
        return sink.write(piece.data(), piece.size());
      },
      kFormType);
  if (chunked) {
    EXPECT_EQ(chunked->status, 413);
  } else {
    EXPECT_TRUE(chunked.error() == httplib::Error::Write || chunked.error() == httplib::Error::Canceled ||
                chunked.error() == httplib::Error::Read)
        << httplib::to_string(chunked.error());
  }
  EXPECT_EQ(gateway.requestCount(), 1u);
}

TEST(SandboxGateway, RefusesOtherMethodsPathsAndContentTypes) {
  SandboxGateway gateway;
  httplib::Client client(std::string(SandboxGateway::kHost), gateway.port());
  const auto get = client.Get(kPath);
  ASSERT_TRUE(get);
  EXPECT_EQ(get->status, 405);
  EXPECT_EQ(get->get_header_value("Allow"), "POST");
  EXPECT_EQ(client.Put(kPath, "a=1", kFormType)->status, 405);
  EXPECT_EQ(client.Post("/v2/other", "a=1", kFormType)->status, 404);
  EXPECT_EQ(client.Get("/")->status, 404);
  EXPECT_EQ(client.Post(kPath, "{\"a\":1}", "application/json")->status, 415);
  EXPECT_EQ(client.Post(kPath, "a=1", "Application/X-WWW-Form-URLEncoded; charset=UTF-8")->status, 200);
  EXPECT_EQ(gateway.requestCount(), 1u);
}

TEST(SandboxGateway, ListensOnlyOnTheLoopbackAddress) {
  SandboxGateway gateway;
  EXPECT_EQ(gateway.endpoint(), "http://127.0.0.1:" + std::to_string(gateway.port()) + "/v2/paymentrequest");
  EXPECT_TRUE(connects("127.0.0.1", gateway.port()));
  // The whole of 127/8 reaches this machine: a server on any address would accept here.
  EXPECT_FALSE(connects("127.0.0.2", gateway.port()));
  EXPECT_EQ(listeningAddresses(gateway.port()), std::set<std::string>{"0100007F"});
}

TEST(SandboxGateway, TwoGatewaysGetTwoFreePortsAndAPortInUseIsRefused) {
  SandboxGateway first;
  SandboxGateway second;
  EXPECT_NE(first.port(), 0);
  EXPECT_NE(second.port(), 0);
  EXPECT_NE(first.port(), second.port());
  SandboxOptions taken;
  taken.port = first.port();
  try {
    SandboxGateway third(taken);
    FAIL() << "a second gateway listens on port " << taken.port;
  } catch (const SandboxError& error) {
    EXPECT_NE(std::string(error.what()).find(std::to_string(taken.port)), std::string::npos);
  }
}

TEST(SandboxGateway, ListensOnAGivenPortAndStopsCleanly) {
  std::uint16_t port = 0;
  {
    SandboxGateway probe;
    port = probe.port();
  }
  SandboxOptions options;
  options.port = port;
  SandboxGateway gateway(options);
  EXPECT_EQ(gateway.port(), port);
  ASSERT_TRUE(post(gateway, "a=1"));
  gateway.stop();
  gateway.stop();
  EXPECT_FALSE(connects("127.0.0.1", port));
  EXPECT_EQ(gateway.requestCount(), 1u);
}

TEST(SandboxGatewayLatency, HoldsEachAnswerPagesAndRefusalsAlikeButNotTheRequestsArrival) {
  SandboxRecorder recorder;
  SandboxOptions options = recordingInto(recorder);
  options.latency = 300ms;
  SandboxGateway gateway(options);
  const auto start = std::chrono::steady_clock::now();
  const auto page = post(gateway, encode({{"order_id", "L-1"}}));
  const auto pageTook = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_GE(pageTook, 300ms);
  EXPECT_LT(pageTook, 3s);
  const auto request = recorder.waitForRequest(1, 0ms);
  ASSERT_TRUE(request);
  EXPECT_LT(request->receivedAt - start, 250ms) << "the request itself arrives at once";

  httplib::Client client(std::string(SandboxGateway::kHost), gateway.port());
  const auto refusalStart = std::chrono::steady_clock::now();
  const auto refused = client.Get(kPath);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 405);
  EXPECT_GE(std::chrono::steady_clock::now() - refusalStart, 300ms);
}

TEST(SandboxGatewayLatency, StopEndsAHeldAnswerAtOnceAndALatencyOutOfRangeIsRefused) {
  SandboxOptions options;
  options.latency = SandboxGateway::kMaximumLatency;
  auto gateway = std::make_unique<SandboxGateway>(options);
  std::thread client([&] { post(*gateway, encode({{"order_id", "L-2"}})); });
  std::this_thread::sleep_for(200ms);
  const auto start = std::chrono::steady_clock::now();
  gateway->stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "not the whole latency";
  client.join();

  for (const auto latency : {-1ms, SandboxGateway::kMaximumLatency + 1ms}) {
    SandboxOptions outOfRange;
    outOfRange.latency = latency;
    EXPECT_THROW(SandboxGateway{outOfRange}, std::invalid_argument);
  }
}

}  // namespace
